#include "platform/FileDialog.h"

#include "platform/Modal.h"

namespace platform {

namespace {
FileDialogService* g_dialogs = nullptr;
}

void SetFileDialogService(FileDialogService* service) { g_dialogs = service; }

FileDialogResult RunFileDialog(const FileDialogRequest& request) {
    if (!g_dialogs) return {};
    const ModalRunScope modal;
    return g_dialogs->Run(request);
}

}  // namespace platform
