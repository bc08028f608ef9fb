#include <algorithm>
#include <cctype>

#include "files/OpenSave.h"
#include "files/RecoveryCopies.h"
#include "image/ImageSlots.h"
#include "platform/CommandBar.h"
#include "platform/Settings.h"

FileStateRecord FileState;

void ResetFileState() {
    FileState = FileStateRecord{};
    ResetRecoveryState();
}

namespace {

bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string ValueName(int i) { return "File" + std::to_string(i + 1); }

// A path with a control character (a line break, a tab, a zero) comes from a damaged
// settings file, never from a file the program opened: the Recent menu must not show it.
bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

// Whether an entry was dropped for a control character.
bool LoadRecentFiles() {
    FileState.RecentCount = 0;
    bool dropped = false;
    for (int i = 0; i < kRecentRoom; ++i) {
        std::string value;
        // A missing or empty value leaves no gap in the list.
        if (!platform::Settings().ReadText(ValueName(i), value) || value.empty()) continue;
        if (HasControlCharacter(value)) {
            dropped = true;
            continue;
        }
        FileState.RecentFiles[FileState.RecentCount++] = value;
    }
    for (int i = FileState.RecentCount; i < kRecentRoom; ++i) FileState.RecentFiles[i].clear();
    return dropped;
}

void PutCurrentPathFirst() {
    int found = -1;
    for (int i = 0; i < FileState.RecentCount; ++i) {
        if (SamePath(FileState.RecentFiles[i], ImageState.CurrentPath)) found = i;  // the last match counts
    }
    const int moved = found >= 0 ? found : std::min<int>(FileState.RecentCount, kRecentRoom - 1);
    for (int i = moved; i > 0; --i) FileState.RecentFiles[i] = FileState.RecentFiles[i - 1];
    FileState.RecentFiles[0] = ImageState.CurrentPath;
    if (found < 0 && FileState.RecentCount < kRecentRoom) ++FileState.RecentCount;
}

void RebuildRecentMenu() {
    if (!FileState.RecentMenu) return;
    FileState.RecentMenu->Clear();
    if (FileState.RecentCount == 0) {
        FileState.RecentMenu->AppendItem(kRecentFirstCommand, "untitled");
        FileState.RecentMenu->EnableItem(kRecentFirstCommand, false);
        return;
    }
    for (int i = 0; i < FileState.RecentCount; ++i) {
        FileState.RecentMenu->AppendItem(kRecentFirstCommand + i, FileNameOf(FileState.RecentFiles[i]));
    }
}

}  // namespace

void UpdateRecentFiles() {
    const bool dropped = LoadRecentFiles();
    if (!ImageState.CurrentPath.empty()) PutCurrentPathFirst();
    for (int i = 0; i < FileState.RecentCount; ++i) {
        platform::Settings().WriteText(ValueName(i), FileState.RecentFiles[i]);
    }
    // The list written back must leave no damaged entry behind it.
    if (dropped) {
        for (int i = FileState.RecentCount; i < kRecentRoom; ++i) platform::Settings().WriteText(ValueName(i), "");
    }
    RebuildRecentMenu();
}
