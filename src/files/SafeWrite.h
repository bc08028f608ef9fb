// Writing a file so that a failure half-way never costs the file that was there: the new
// content goes to a temporary file in the same folder, which replaces the old file only
// once every byte is written and on the disk. Devices and pipes (nothing to replace) are
// written directly.
#pragma once

#include <cstdio>
#include <string>

struct SafeFile {
    std::FILE* file = nullptr;
    std::string target;     // the path the caller asked for
    std::string temporary;  // where the bytes go; empty when they go straight to the target
    int error = 0;          // why OpenSafeFile failed (an errno value)
};

// Opens the file to write for path; false (nothing made) when it cannot.
bool OpenSafeFile(SafeFile& out, const std::string& path);

// Flushes, syncs and closes the file and puts it in place of the target. False when any
// of that failed; the temporary file is then gone and *reason says why.
bool CommitSafeFile(SafeFile& out, std::string* reason);

// Closes the file and removes the temporary one, leaving the target as it was.
void AbandonSafeFile(SafeFile& out);

// Why a file could not be written, in the user's words ("the disk is full.").
std::string WriteErrorText(int error);

// The "Error" box for a file that cannot be made: Can't open file "path": reason.
void ReportCantOpen(const std::string& path, const std::string& reason);
// The "Error" box for a write that failed: Can't write file "path": reason. The reason is
// said as the open errors say theirs, a sentence after the colon.
void ReportCantWrite(const std::string& path, const std::string& reason);
// One of the two above, as a writer's failure calls for.
void ReportWriteFailure(const std::string& path, bool cantOpen, const std::string& reason);
