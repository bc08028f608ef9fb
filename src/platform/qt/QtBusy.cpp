#include "platform/qt/QtBusy.h"

#include <QApplication>
#include <QCursor>
#include <QWidget>
#include <algorithm>

namespace platform::qt {

namespace {

bool g_progressRunning = false;

constexpr int kBarHeight = 22;
constexpr int kBarMargin = 8;
constexpr int kBarWidth = 360;
// Steps closer together than this are not shown: the writing goes on undisturbed.
constexpr std::chrono::milliseconds kStepInterval{40};

}  // namespace

bool ProgressRunning() { return g_progressRunning; }

QtBusyService::~QtBusyService() {
    while (busy_ > 0) EndBusy();
    delete bar_.data();
}

void QtBusyService::BeginBusy() {
    ++busy_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtBusyService::EndBusy() {
    if (busy_ == 0) return;
    --busy_;
    QApplication::restoreOverrideCursor();
}

void QtBusyService::BeginProgress(const std::string& text) {
    text_ = text;
    begun_ = Clock::now();
    lastStep_ = begun_;
    g_progressRunning = true;
}

void QtBusyService::StepProgress(long long done, long long total) {
    if (!g_progressRunning || total <= 0) return;
    const Clock::time_point now = Clock::now();
    if (now - lastStep_ < kStepInterval || now - begun_ < delay_) return;
    lastStep_ = now;
    if (!bar_ && screen_) {
        bar_ = new QProgressBar(screen_);
        bar_->setRange(0, 1000);
        bar_->setTextVisible(true);
    }
    if (!bar_) return;
    if (!bar_->isVisible()) {
        // Across the middle of the window, where the eye is.
        const int width = std::min(screen_->width() - 2 * kBarMargin, kBarWidth);
        bar_->setGeometry((screen_->width() - width) / 2, (screen_->height() - kBarHeight) / 2, width, kBarHeight);
        bar_->setFormat(QString::fromStdString(text_) + "  %p%");
        bar_->show();
        bar_->raise();
    }
    bar_->setValue(static_cast<int>(std::min(done, total) * 1000 / total));
    // Paint and other waiting events, but no input: the picture being written must not change.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void QtBusyService::EndProgress() {
    g_progressRunning = false;
    if (bar_) bar_->hide();
}

UserWait::UserWait() {
    if (!QApplication::overrideCursor()) return;
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    pushed_ = true;
}

UserWait::~UserWait() {
    if (pushed_) QApplication::restoreOverrideCursor();
}

}  // namespace platform::qt
