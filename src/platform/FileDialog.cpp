#include "platform/FileDialog.h"

namespace platform {

namespace {
FileDialogService* g_dialogs = nullptr;
}

void SetFileDialogService(FileDialogService* service) { g_dialogs = service; }

FileDialogResult RunFileDialog(const FileDialogRequest& request) {
    if (!g_dialogs) return {};
    return g_dialogs->Run(request);
}

}  // namespace platform
