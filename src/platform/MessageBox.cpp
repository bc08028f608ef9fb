#include "platform/MessageBox.h"

#include <cstdio>

#include "platform/Modal.h"

namespace platform {

namespace {
MessageBoxService* g_service = nullptr;
}

void SetMessageBoxService(MessageBoxService* service) { g_service = service; }

MessageResult ShowMessageBox(const std::string& text, const std::string& caption, MessageButtons buttons,
                             MessageIcon icon) {
    const ModalRunScope modal;
    if (g_service) return g_service->Show(text, caption, buttons, icon);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    // Without anyone to ask, a question is answered the safe way.
    switch (buttons) {
        case MessageButtons::Ok: return MessageResult::Ok;
        case MessageButtons::OkCancel: return MessageResult::Cancel;
        case MessageButtons::YesNo: return MessageResult::No;
        case MessageButtons::YesNoCancel: return MessageResult::Cancel;
    }
    return MessageResult::Ok;
}

}  // namespace platform
