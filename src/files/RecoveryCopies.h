// Recovery copies: while the picture has unsaved changes, a copy of it is written now and
// then to the user's state folder, so that a crash, a kill or a power cut does not take the
// work with it; the next start finds the copies whose program is gone.
//
// Each running program holds a lock file there, "PID-TAG.lock" (TAG is random, so a process
// id used again after a reboot is not taken for the old one), locked with flock while the
// program runs. Its copy is "NAME_YYYYmmdd-HHMMSS_PID-TAG.png": the document's name, the time
// of the write and the owner. The PNG carries the document's path and name in two text
// chunks. A copy is written to a temporary file beside it and renamed into place.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/PixelBuffer.h"

// $XDG_STATE_HOME/pixelwright, else ~/.local/state/pixelwright; "" when neither is known.
std::string DefaultRecoveryFolder();

// Starts keeping copies in folder: makes the folder and takes this program's lock. On
// failure the user is told that unsaved work will not survive a crash, and no copies are
// kept.
bool StartRecovery(const std::string& folder);
// A clean end: the copy goes, and the lock with it.
void StopRecovery();
// Forgets everything without touching any file (tests); a write in progress is waited for.
void ResetRecoveryState();
bool RecoveryActive();
const std::string& RecoveryFolder();
// This program's part of the names: "PID-TAG".
const std::string& RecoveryInstance();

// True when the picture has unsaved changes that no copy holds and no write is under way.
bool RecoveryCopyDue();
bool RecoveryWriteRunning();
// Copies the picture as shown (the only part that runs on the calling thread) and starts
// writing it on a thread of its own. False when there is nothing to write or no memory for
// the copy (tried again at the next change).
bool BeginRecoveryWrite();
// Takes in a finished write: the new copy replaces the last one. A failure is told once,
// until a write succeeds again. With wait, waits for a write under way to finish.
void CollectRecoveryWrite(bool wait);
// The unsaved changes are gone (saved, reverted, thrown away, replaced): so is the copy.
void DiscardRecoveryCopy();
// The copy now on disk; "" when there is none.
const std::string& CurrentRecoveryCopy();

// What a recovery copy holds.
struct RecoveredPicture {
    std::unique_ptr<PixelBuffer> image;  // null when the copy is damaged
    std::string originalPath;            // the document's file; "" for an untitled picture
    std::string name;                    // the name the user knew it by
    std::string problem;                 // why it cannot be used, when damaged
};

// The copies of programs that are no longer running, newest first.
std::vector<std::string> OrphanRecoveryCopies();
// Whether the program that owns instance ("PID-TAG") still runs: its lock is held, or,
// where the file system has no locks, its process exists.
bool RecoveryInstanceRunning(const std::string& instance);
// Makes an orphan copy this program's own, so that no other program offers it as well.
// The new path; "" when another program took it first.
std::string ClaimRecoveryCopy(const std::string& path);
RecoveredPicture ReadRecoveryCopy(const std::string& path);
// A damaged copy is never offered again, but stays for the user: the new name.
std::string KeepRecoveryCopyAside(const std::string& path);
// Removes a copy the user does not want.
void RemoveRecoveryCopy(const std::string& path);
// A claimed copy that became the document: it is the document's copy from now on.
void AdoptRecoveryCopy(const std::string& path);
// Removes the locks of programs that are gone and have no copy left, and the temporary
// files of their unfinished writes.
void TidyRecoveryFolder();
