#include "platform/qt/QtWindowSystem.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <algorithm>

#include "platform/Dialog.h"
#include "platform/qt/QtBusy.h"
#include "platform/qt/QtChrome.h"
#include "platform/qt/QtCommandBar.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtWindow.h"

namespace platform::qt {

namespace {

constexpr int kHoldMs = 500;
// The handheld's screen twice over: the size the program's layout is made for.
constexpr QSize kUsualSize(480, 640);
// Room for a window manager's title bar and borders, which are not known before showing.
constexpr QSize kFrameAllowance(16, 48);
// Picture, tool bar and colour bar above the command bar, at the least.
constexpr int kMinimumAboveBar = 96;
constexpr int kHoldSlop = 5;

bool IsInputEvent(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride: return true;
        default: return false;
    }
}

// Waits to see whether a press stays put: a move away or a release ends the wait, and
// that event is handed on afterwards as if nothing had held it.
class HoldWatcher : public QObject {
public:
    HoldWatcher(QEventLoop& loop, QPointF origin) : loop_(loop), origin_(origin) {}
    QObject* target = nullptr;
    std::unique_ptr<QEvent> held;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (held || !watched->isWindowType()) return false;
        if (event->type() != QEvent::MouseMove && event->type() != QEvent::MouseButtonRelease) return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseMove) {
            const QPointF d = mouse->globalPosition() - origin_;
            if (std::abs(d.x()) <= kHoldSlop && std::abs(d.y()) <= kHoldSlop) return true;
        }
        target = watched;
        held.reset(mouse->clone());
        loop_.exit(0);
        return true;
    }

private:
    QEventLoop& loop_;
    QPointF origin_;
};

}  // namespace

namespace {

// The first local file a drag carries, or "" when it carries none.
QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) return url.toLocalFile();
    }
    return {};
}

}  // namespace

QRect FirstWindowRect(const QRect& available, const QSize& minimum) {
    const QSize room = (available.size() - kFrameAllowance).expandedTo(QSize(0, 0));
    const QSize size = kUsualSize.boundedTo(room).expandedTo(minimum);
    const int x = available.x() + std::max(0, (available.width() - size.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - kFrameAllowance.height() - size.height()) / 2);
    return QRect(QPoint(x, y), size);
}

ScreenWidget::ScreenWidget(QtWindowSystem& system) : QWidget(nullptr), system_(system) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    setFont(SystemFont());
    setWindowTitle("Pixelwright");
}

void ScreenWidget::resizeEvent(QResizeEvent*) { system_.ScreenResized(); }

void ScreenWidget::closeEvent(QCloseEvent* event) {
    // The program decides: it may ask about unsaved changes first.
    event->ignore();
    system_.MainCloseRequested();
}

void ScreenWidget::keyPressEvent(QKeyEvent* event) { system_.MainKey(event->key()); }

void ScreenWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x60, 0x60, 0x60));
}

void ScreenWidget::dragEnterEvent(QDragEnterEvent* event) {
    if (system_.AcceptsDrops() && !DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ScreenWidget::dragMoveEvent(QDragMoveEvent* event) {
    if (system_.AcceptsDrops() && !DroppedFile(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void ScreenWidget::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (!system_.AcceptsDrops() || path.isEmpty()) return;
    event->acceptProposedAction();
    // The program may ask about unsaved changes first: the file manager that dragged the
    // file is told at once that the drop is done, rather than waiting for the answer.
    QTimer::singleShot(0, this, [this, file = path.toStdString()] { system_.DropFile(file); });
}

QtWindowSystem::QtWindowSystem() : screen_(std::make_unique<ScreenWidget>(*this)) {
    status_ = new QtStatusBar(screen_.get());
    qApp->installEventFilter(this);
}

QtWindowSystem::~QtWindowSystem() {
    qApp->removeEventFilter(this);
    main_ = nullptr;
    bar_ = nullptr;
    status_ = nullptr;
    screen_.reset();
}

Window* QtWindowSystem::CreateMainWindow(WindowHandler* handler) {
    if (main_) return main_;
    main_ = QtWindow::Create(*this, screen_.get(), WindowStyle{}, handler, false);
    main_->Outer()->lower();
    ScreenResized();
    return main_;
}

Window* QtWindowSystem::MainWindow() { return main_; }

Window* QtWindowSystem::CreateChildWindow(int x, int y, int width, int height, const WindowStyle& style,
                                          WindowHandler* handler) {
    QWidget* parent = main_ ? static_cast<QWidget*>(main_->Client()) : screen_.get();
    QtWindow* window = QtWindow::Create(*this, parent, style, handler, false);
    window->Move(x, y, width, height, false);
    window->Show(style.visible);
    return window;
}

void QtWindowSystem::DestroyWindow(Window* window) {
    auto* qtWindow = dynamic_cast<QtWindow*>(window);
    if (!qtWindow || qtWindow->IsDestroyed()) return;
    if (qtWindow == main_) main_ = nullptr;
    qtWindow->Detach();
    qtWindow->Outer()->hide();
    qtWindow->Outer()->deleteLater();
}

CommandBar* QtWindowSystem::CreateCommandBar() {
    if (!bar_) {
        bar_ = new QtCommandBar(screen_.get(), *this);
        bar_->Model().onChanged = [this] {
            bar_->update();
            UpdateMinimumSize();
        };
        bar_->show();
        ScreenResized();
    }
    return &bar_->Model();
}

CommandBar* QtWindowSystem::GetCommandBar() { return bar_ ? &bar_->Model() : nullptr; }

QtWindow* QtWindowSystem::MakeDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) {
    QtWindow* dialog = QtWindow::Create(*this, screen_.get(), WindowStyle{}, handler, true);
    dialog->SetTitle(dialogTemplate.captionText);
    if (dialogTemplate.caption) dialog->SetCaptionBar(true);
    dialog->SetIcon(dialogTemplate.icon, dialogTemplate.iconRect);
    dialog->Outer()->raise();
    return dialog;
}

int QtWindowSystem::RunModalDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) {
    QtWindow* dialog = MakeDialog(dialogTemplate, handler);
    WindowMessage init;
    init.kind = MessageKind::InitDialog;
    dialog->Send(init);
    if (!dialog->Ended() && !dialog->IsDestroyed()) {
        dialog->Show(true);
        dialog->Outer()->raise();
        dialog->RestoreFocus();
        modalStack_.push_back(dialog);
        const UserWait wait;
        dialog->RunModalLoop();
        modalStack_.pop_back();
    }
    const int result = dialog->Result();
    DestroyWindow(dialog);
    return result;
}

Window* QtWindowSystem::CreateModelessDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) {
    QtWindow* dialog = MakeDialog(dialogTemplate, handler);
    dialog->SetModeless();
    WindowMessage init;
    init.kind = MessageKind::InitDialog;
    dialog->Send(init);
    if (dialog->IsDestroyed()) return nullptr;
    dialog->Show(true);
    dialog->Outer()->raise();
    dialog->RestoreFocus();
    return dialog;
}

int QtWindowSystem::ScreenWidth() { return screen_->width(); }
int QtWindowSystem::ScreenHeight() { return screen_->height() - StatusHeight(); }

int QtWindowSystem::StatusHeight() const { return statusShown_ && !fullScreen_ ? QtStatusBar::kHeight : 0; }

void QtWindowSystem::SetStatusBarShown(bool shown) {
    if (shown == statusShown_) return;
    statusShown_ = shown;
    UpdateMinimumSize();
    const bool sized = screen_->isMaximized() || screen_->isFullScreen() || fullScreen_;
    if (sized) {
        ScreenResized();
        return;
    }
    // The window grows by the bar, as a title bar adds to it: the picture keeps its room.
    const int change = shown ? QtStatusBar::kHeight : -QtStatusBar::kHeight;
    screen_->resize(screen_->width(), screen_->height() + change);
    ScreenResized();
}
int QtWindowSystem::LogicalDpiX() { return screen_->logicalDpiX(); }
int QtWindowSystem::ScrollBarHeight() { return screen_->style()->pixelMetric(QStyle::PM_ScrollBarExtent); }

void QtWindowSystem::SetFullScreen(bool on) {
    if (on == fullScreen_) return;
    fullScreen_ = on;
    if (on) {
        screen_->showFullScreen();
    } else {
        screen_->showNormal();
    }
    ScreenResized();
}

bool QtWindowSystem::RecognizeTapAndHold(Window& window, int x, int y) {
    if (lastPressButton_ == Qt::RightButton) return true;
    auto* qtWindow = dynamic_cast<QtWindow*>(&window);
    if (!qtWindow) return false;
    const UserWait wait;
    QEventLoop loop;
    HoldWatcher watcher(loop, QPointF(qtWindow->Client()->mapToGlobal(QPoint(x, y))));
    qApp->installEventFilter(&watcher);
    QTimer::singleShot(kHoldMs, &loop, [&loop] { loop.exit(1); });
    const bool held = loop.exec() == 1;
    qApp->removeEventFilter(&watcher);
    if (watcher.held && watcher.target) QCoreApplication::postEvent(watcher.target, watcher.held.release());
    return held;
}

void QtWindowSystem::Quit() {
    screen_->hide();
    QCoreApplication::quit();
}

void QtWindowSystem::SendCommand(int id) {
    if (!main_) return;
    WindowMessage message;
    message.kind = MessageKind::Command;
    message.id = id;
    main_->Send(message);
}

void QtWindowSystem::RunShortcut(int id) {
    if (!modalStack_.empty() || QApplication::activePopupWidget() || QApplication::activeModalWidget()) return;
    if (!bar_) return;
    const int target = bar_->Model().ShortcutTarget(id);
    if (target != 0) SendCommand(target);
}

void QtWindowSystem::ScreenResized() {
    const int width = screen_->width();
    const int statusHeight = StatusHeight();
    const int height = screen_->height() - statusHeight;
    const int barHeight = bar_ ? QtCommandBar::kHeight : 0;
    if (status_) {
        status_->setGeometry(0, height, width, statusHeight);
        status_->setVisible(statusHeight > 0);
    }
    if (bar_) {
        bar_->setGeometry(0, height - barHeight, width, barHeight);
        bar_->raise();
    }
    if (main_) {
        const int mainHeight = fullScreen_ ? height : height - barHeight;
        // The same place again must not cost the windows inside a repaint.
        const Rect now = main_->WindowRect();
        if (now.left != 0 || now.top != 0 || now.Width() != width || now.Height() != mainHeight) {
            main_->Move(0, 0, width, mainHeight, true);
        }
    }
}

QSize QtWindowSystem::MinimumScreenSize() const {
    int barWidth = 0;
    if (bar_) {
        const int count = bar_->Model().ButtonCount();
        if (count > 0) barWidth = bar_->ButtonRect(count - 1).right() + 1;
    }
    return QSize(barWidth, QtCommandBar::kHeight + kMinimumAboveBar + StatusHeight());
}

void QtWindowSystem::UpdateMinimumSize() { screen_->setMinimumSize(MinimumScreenSize()); }

void QtWindowSystem::PlaceFirstWindow() {
    const QScreen* screen = screen_->screen();
    if (!screen) {
        screen_->resize(kUsualSize);
        return;
    }
    const QRect place = FirstWindowRect(screen->availableGeometry(), MinimumScreenSize());
    screen_->resize(place.size());
    screen_->move(place.topLeft());
}

void QtWindowSystem::MainCloseRequested() {
    // Closing now would ask about the very picture being written.
    if (ProgressRunning()) return;
    if (!main_) {
        QCoreApplication::quit();
        return;
    }
    WindowMessage message;
    message.kind = MessageKind::Close;
    main_->Send(message);
}

void QtWindowSystem::MainKey(int key) {
    if (!main_) return;
    WindowMessage message;
    message.kind = MessageKind::KeyDown;
    message.id = key == Qt::Key_Escape ? kKeyEscape : key;
    main_->Send(message);
}

bool QtWindowSystem::AcceptsDrops() const {
    return main_ && modalStack_.empty() && !QApplication::activePopupWidget() && !QApplication::activeModalWidget() &&
           !ProgressRunning();
}

void QtWindowSystem::DropFile(const std::string& path) {
    if (!AcceptsDrops()) return;
    WindowMessage message;
    message.kind = MessageKind::FileDrop;
    message.text = path;
    main_->Send(message);
}

bool QtWindowSystem::BlockedByModal(QObject* watched) const {
    if (modalStack_.empty()) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != screen_.get()) return false;
    QWidget* top = modalStack_.back()->Outer();
    return widget != top && !top->isAncestorOf(widget);
}

bool QtWindowSystem::eventFilter(QObject* watched, QEvent* event) {
    if (IsInputEvent(event->type()) && BlockedByModal(watched)) return true;
    return QObject::eventFilter(watched, event);
}

}  // namespace platform::qt
