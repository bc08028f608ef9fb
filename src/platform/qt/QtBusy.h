// The busy pointer and the progress bar on Qt. The busy pointer is Qt's override cursor; a
// wait for the user's answer (a dialog, a message box, a held press) shows the normal
// pointer meanwhile. The progress bar lies over the bottom of the window, above the command
// bar, and shows only once the operation has gone on for a moment.
#pragma once

#include <QProgressBar>
#include <QPointer>
#include <chrono>

#include "platform/Busy.h"

class QWidget;

namespace platform::qt {

class QtBusyService : public BusyService {
public:
    explicit QtBusyService(QWidget* screen) : screen_(screen) {}
    ~QtBusyService() override;
    void BeginBusy() override;
    void EndBusy() override;
    void BeginProgress(const std::string& text) override;
    void StepProgress(long long done, long long total) override;
    void EndProgress() override;

    // How long an operation runs before its progress shows (tests shorten it).
    void SetProgressDelay(std::chrono::milliseconds delay) { delay_ = delay; }
    QProgressBar* Bar() const { return bar_; }

private:
    using Clock = std::chrono::steady_clock;
    QWidget* screen_;
    QPointer<QProgressBar> bar_;
    std::string text_;
    Clock::time_point begun_{};
    Clock::time_point lastStep_{};
    std::chrono::milliseconds delay_{400};
    int busy_ = 0;
};

// True while an operation shows progress: the windows repaint meanwhile, but nothing may
// start another operation (closing the window, a drop, the windows' timers).
bool ProgressRunning();

// The normal pointer for the lifetime of the object while the busy pointer is up: the
// program waits for the user.
class UserWait {
public:
    UserWait();
    ~UserWait();
    UserWait(const UserWait&) = delete;
    UserWait& operator=(const UserWait&) = delete;

private:
    bool pushed_ = false;
};

}  // namespace platform::qt
