// Whether the program waits for the user in a modal run (a dialog, a message box, a file
// dialog): it is then in the middle of something, a filter's preview perhaps on the canvas.
#pragma once

namespace platform {

bool ModalRunning();

// Marks a modal run for its lifetime; the free functions that run one use it.
class ModalRunScope {
public:
    ModalRunScope();
    ~ModalRunScope();
    ModalRunScope(const ModalRunScope&) = delete;
    ModalRunScope& operator=(const ModalRunScope&) = delete;
};

}  // namespace platform
