// The window system on Qt. One top-level widget plays the handheld's screen: the main
// window's frame fills it above the command bar; dialogs and popups are placed on it in
// screen coordinates; modal dialogs run nested event loops and keep the stylus from the
// windows beneath them.
#pragma once

#include <QObject>
#include <QRect>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/Window.h"

namespace platform::qt {

class QtCommandBar;
class QtStatusBar;
class QtWindow;
class QtWindowSystem;

// Where the first window goes on a desktop whose free area (without panels and docks) is
// available: the usual 480 x 640, made smaller where the area is smaller, leaving room for
// the window manager's frame, never below the minimum; centred in the area.
QRect FirstWindowRect(const QRect& available, const QSize& minimum);

class ScreenWidget : public QWidget {
public:
    explicit ScreenWidget(QtWindowSystem& system);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QtWindowSystem& system_;
};

class QtWindowSystem : public WindowSystem, public QObject {
public:
    QtWindowSystem();
    ~QtWindowSystem() override;

    Window* CreateMainWindow(WindowHandler* handler) override;
    Window* MainWindow() override;
    Window* CreateChildWindow(int x, int y, int width, int height, const WindowStyle& style,
                              WindowHandler* handler) override;
    void DestroyWindow(Window* window) override;
    CommandBar* CreateCommandBar() override;
    CommandBar* GetCommandBar() override;
    int RunModalDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) override;
    Window* CreateModelessDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) override;
    int ScreenWidth() override;
    int ScreenHeight() override;
    int LogicalDpiX() override;
    int ScrollBarHeight() override;
    void SetFullScreen(bool on) override;
    bool RecognizeTapAndHold(Window& window, int x, int y) override;
    void Quit() override;

    ScreenWidget* Screen() const { return screen_.get(); }
    QtCommandBar* Bar() const { return bar_; }
    // Sends a command identifier to the main window's handler.
    void SendCommand(int id);
    // A shortcut's keys were pressed: nothing while a dialog or menu is open.
    void RunShortcut(int id);
    // The frame and the command bar follow the screen's size.
    void ScreenResized();
    // The first window's place and size on the screen it opens on.
    void PlaceFirstWindow();
    // The smallest window that keeps the command bar whole and some picture above it.
    QSize MinimumScreenSize() const;
    void UpdateMinimumSize();
    void MainCloseRequested();
    void MainKey(int key);
    // Whether files may be dropped now: not while a dialog waits for an answer.
    bool AcceptsDrops() const;
    // Hands a dropped file to the main window.
    void DropFile(const std::string& path);
    void NotePress(Qt::MouseButton button) { lastPressButton_ = button; }
    bool IsFullScreen() const { return fullScreen_; }
    // The status bar under the command bar, outside the screen area. Shown or hidden, a window
    // that is neither maximised nor full screen grows or shrinks by its height, so the screen
    // area keeps its size; it is not shown in full screen.
    QtStatusBar* Status() const { return status_; }
    bool StatusBarShown() const { return statusShown_; }
    void SetStatusBarShown(bool shown);
    int StatusHeight() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QtWindow* MakeDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler);
    bool BlockedByModal(QObject* watched) const;

    std::unique_ptr<ScreenWidget> screen_;
    QtWindow* main_ = nullptr;
    QtCommandBar* bar_ = nullptr;
    QtStatusBar* status_ = nullptr;
    bool statusShown_ = true;
    std::vector<QtWindow*> modalStack_;
    Qt::MouseButton lastPressButton_ = Qt::LeftButton;
    bool fullScreen_ = false;
};

}  // namespace platform::qt
