// The document's file identity, the save-changes question, the file dialogs, opening,
// saving, reverting and the list of recently used files.
#pragma once

#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"

namespace platform {
class Menu;
}

constexpr int kRecentRoom = 4;

// The files subsystem's state: the recently used files and the menu that lists them.
struct FileStateRecord {
    std::string RecentFiles[kRecentRoom];  // full paths, most recent first
    std::uint8_t RecentCount = 0;          // entries in use
    // The "Recent" sub-menu of the File menu: set by whoever builds the menus, filled here.
    platform::Menu* RecentMenu = nullptr;
    // What the document's file carried beside its pixels (camera data, description, colour
    // profile), written back on save; nothing for a picture made with New.
    platform::PictureMetadata Carried;
    // The name of the opened file whose picture had transparent parts, laid over the
    // background colour; empty when it had none. Saving asks about it once.
    std::string TransparentFrom;
    // Save writes a WebP file without loss: the document was opened from such a file, or
    // last saved as "WebP Lossless".
    bool WebpLossless = false;
    // The document was recovered after the program died: its file may hold other work, so
    // Save asks before it overwrites it.
    bool ConfirmOverwrite = false;
};

extern FileStateRecord FileState;

// No recent files, no Recent menu and no recovery copies kept (tests).
void ResetFileState();

// A picture made with New carries nothing over from the file open before it.
void ForgetCarriedData();

// The question before a save that loses the transparency of the picture as it was opened.
std::string TransparencyQuestion(const std::string& name);

// The Recent menu's first identifier; entry i has 1101 + i.
constexpr int kRecentFirstCommand = 1101;

// File-type lists of the dialogs: pairs of description and pattern, "|"-separated. The open
// list takes every usual JPEG ending and upper-case names too (cameras write "IMG_1.JPG"),
// and the photo formats of the web, phones and scanners after the program's own; the dialog
// shows each description with its patterns.
inline constexpr const char* kOpenTypeList =
    "All Image Files|*.2bp;*.bmp;*.gif;*.jpg;*.jpeg;*.jpe;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif;*.avif;*.2BP;*.BMP;"
    "*.GIF;*.JPG;*.JPEG;*.JPE;*.PNG;*.WEBP;*.TIF;*.TIFF;*.HEIC;*.HEIF;*.AVIF|"
    "Bitmap Files|*.bmp;*.BMP|GIF Files|*.gif;*.GIF|JPEG Files|*.jpg;*.jpeg;*.jpe;*.JPG;*.JPEG;*.JPE|"
    "PNG Files|*.png;*.PNG|2BP Files|*.2bp;*.2BP|WebP Files|*.webp;*.WEBP|TIFF Files|*.tif;*.tiff;*.TIF;*.TIFF|"
    "HEIF Files|*.heic;*.heif;*.HEIC;*.HEIF|AVIF Files|*.avif;*.AVIF|";
// The save list for a proposed name, by its ending (".png", ".bmp", ".jpg", ".webp"); empty
// for any other ending.
const char* SaveTypeListFor(const std::string& name);

// The part after the last "/" (the whole path when there is none).
std::string FileNameOf(const std::string& path);

// 1 = go ahead, 0 = the user cancelled. Asks only when the image is modified.
int PromptSaveChanges();

// Runs the platform's open or save dialog; the chosen full path, or "" when cancelled.
// chosenType (if given) gets the index of the type pair the user picked.
std::string ShowFileDialog(bool save, const std::string& title, const std::string& initialName,
                           const std::string& typeList, int* chosenType = nullptr);

// Writes the document, asking for a name when askForName or when it has none yet.
// 1 when a file was written.
int SaveImage(bool askForName);

// What the caller does once a file has loaded: show the new document and lay the frame out
// around it (the files subsystem knows no frame). Null: nothing to show.
using ShowDocumentProcedure = void (*)();

// The Open command (the save question has been asked already). 1 when a file was opened.
int OpenImage(ShowDocumentProcedure showDocument = nullptr);

// Opens the file as the document; it becomes the current path only once it has loaded.
// A damaged JPEG or PNG opens as far as it could be read, untitled and with a warning shown
// over the picture, after showDocument. 1 on success.
int OpenImageAt(const std::string& path, ShowDocumentProcedure showDocument = nullptr);

// A remembered file is checked before anything is asked about it: false, after the message
// that opening it would show, when it cannot be opened (gone, moved, no longer readable).
bool RememberedFileReachable(const std::string& path);

// Decodes the file into a new current image. 1 on success; on failure the image stays and
// a message says why. A damaged JPEG or PNG loads what could be read of it, with a warning,
// and leaves the document untitled.
int LoadImageFile(const std::string& path);

// Makes a new width x height picture (in the background colour) the document. It is made
// beside the current one, which goes only once the new one exists: a size too large for
// memory leaves the document as it was, after the out-of-memory message. The old picture's
// unsaved changes go with it, and their recovery copy. 1 on success.
int ReplaceDocument(int width, int height);

// The question Save asks before it overwrites the file of a recovered document.
std::string OverwriteRecoveredQuestion(const std::string& path);

// Reads the list from the settings store, puts ImageState.CurrentPath at its head, writes it back and
// rebuilds the Recent menu.
void UpdateRecentFiles();
