#include <algorithm>
#include <cctype>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "platform/CommandBar.h"
#include "platform/Settings.h"

std::string RecentFiles[kRecentRoom];
std::uint8_t RecentCount = 0;
platform::Menu* RecentMenu = nullptr;

namespace {

bool SamePath(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

std::string ValueName(int i) { return "File" + std::to_string(i + 1); }

void LoadRecentFiles() {
    RecentCount = 0;
    for (int i = 0; i < kRecentRoom; ++i) {
        std::string value;
        // A missing or empty value leaves no gap in the list.
        if (platform::Settings().ReadText(ValueName(i), value) && !value.empty()) RecentFiles[RecentCount++] = value;
    }
    for (int i = RecentCount; i < kRecentRoom; ++i) RecentFiles[i].clear();
}

void PutCurrentPathFirst() {
    int found = -1;
    for (int i = 0; i < RecentCount; ++i) {
        if (SamePath(RecentFiles[i], ImageState.CurrentPath)) found = i;  // the last match counts
    }
    const int moved = found >= 0 ? found : std::min<int>(RecentCount, kRecentRoom - 1);
    for (int i = moved; i > 0; --i) RecentFiles[i] = RecentFiles[i - 1];
    RecentFiles[0] = ImageState.CurrentPath;
    if (found < 0 && RecentCount < kRecentRoom) ++RecentCount;
}

void RebuildRecentMenu() {
    if (!RecentMenu) return;
    RecentMenu->Clear();
    if (RecentCount == 0) {
        RecentMenu->AppendItem(kRecentFirstCommand, "untitled");
        RecentMenu->EnableItem(kRecentFirstCommand, false);
        return;
    }
    for (int i = 0; i < RecentCount; ++i) RecentMenu->AppendItem(kRecentFirstCommand + i, FileNameOf(RecentFiles[i]));
}

}  // namespace

void UpdateRecentFiles() {
    LoadRecentFiles();
    if (!ImageState.CurrentPath.empty()) PutCurrentPathFirst();
    for (int i = 0; i < RecentCount; ++i) platform::Settings().WriteText(ValueName(i), RecentFiles[i]);
    RebuildRecentMenu();
}
