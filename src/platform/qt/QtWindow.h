// One window of the program on Qt: an outer widget (frame, caption strip, scroll bars)
// around a client widget that shows the window's 24-bit surface and turns mouse events
// into stylus messages.
#pragma once

#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "platform/Dialog.h"
#include "platform/Window.h"

class QLabel;
class QScrollBar;
class QTimer;
class QToolButton;

namespace platform::qt {

class QtControl;
class QtWindow;
class QtWindowSystem;

// The outer widget owns its window record: deleting the widget ends both.
class OuterWidget : public QWidget {
public:
    explicit OuterWidget(QWidget* parent);
    ~OuterWidget() override;
    std::unique_ptr<QtWindow> window;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

class ClientWidget : public QWidget {
public:
    ClientWidget(QWidget* parent, QtWindow& window);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SendStylus(MessageKind kind, QMouseEvent* event);
    QtWindow& window_;
};

class QtWindow : public Window {
public:
    // Makes the widgets under parent; the returned record belongs to its outer widget.
    static QtWindow* Create(QtWindowSystem& system, QWidget* parent, const WindowStyle& style, WindowHandler* handler,
                            bool dialog);
    ~QtWindow() override;

    int Send(const WindowMessage& message) override;
    void Move(int x, int y, int width, int height, bool repaint) override;
    void Show(bool visible) override;
    bool IsVisible() const override;
    void BringToTop() override;
    void SetTitle(const std::string& title) override;
    std::string Title() const override { return title_; }
    Rect ClientRect() const override;
    Rect WindowRect() const override;
    raster::DrawingContext& GetDC() override;
    void Invalidate() override;
    void Invalidate(const Rect& rect) override;
    void Update() override;
    void CaptureStylus() override;
    void ReleaseStylus() override;
    bool HasCapture() const override;
    void SetTimer(int id, int periodMs) override;
    void KillTimer(int id) override;
    void SetScrollBar(ScrollBarKind bar, const ScrollBarInfo& info, bool redraw) override;
    void SetScrollPosition(ScrollBarKind bar, int position, bool redraw) override;
    ScrollBarInfo GetScrollBar(ScrollBarKind bar) const override;
    Control* AddControl(ControlKind kind, int id, int x, int y, int width, int height, std::uint32_t style,
                        const std::string& text) override;
    Control* FindControl(int id) override;
    void SetCaptionBar(bool shown) override;
    void SetBackground(raster::Colour colour) override;
    void EndDialog(int result) override;

    // The window system's side.
    OuterWidget* Outer() const { return outer_; }
    ClientWidget* Client() const { return client_; }
    bool IsDialog() const { return dialog_; }
    bool WantsDoubleClicks() const { return style_.doubleClicks; }
    bool TracksPointer() const { return style_.pointerTracking; }
    bool IsDestroyed() const { return handler_ == nullptr; }
    void Detach();
    void SetModeless() { modeless_ = true; }
    void RunModalLoop();
    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    void SetIcon(const raster::Bitmap* icon, const Rect& rect);
    void SetFocusedControl(QtControl* control) { focused_ = control; }
    void RestoreFocus();
    QtWindowSystem& System() { return system_; }

    // Called by the client widget.
    void PaintClient(QPainter& painter, const QRect& rect);
    ToolTip ToolTipAt(int x, int y);

    static constexpr int kCaptionHeight = 20;

private:
    QtWindow(QtWindowSystem& system, OuterWidget* outer, const WindowStyle& style, WindowHandler* handler, bool dialog);
    void Relayout();
    void ResizeSurface(int width, int height);
    bool BarShown(ScrollBarKind bar) const;
    void ApplyBar(ScrollBarKind bar);
    void OnBarAction(ScrollBarKind bar, int action);

    QtWindowSystem& system_;
    OuterWidget* outer_;
    ClientWidget* client_ = nullptr;
    QWidget* caption_ = nullptr;
    QScrollBar* bars_[2] = {nullptr, nullptr};
    ScrollBarInfo barInfo_[2];
    bool barGuard_ = false;
    WindowStyle style_;
    WindowHandler* handler_;
    bool dialog_;
    bool modeless_ = false;
    bool captionShown_ = false;
    bool shownOnce_ = false;
    bool hasBackground_ = false;
    raster::Colour background_ = 0xFFFFFF;
    std::string title_;
    raster::DrawingContext surface_;
    bool paintPending_ = true;
    bool inPaint_ = false;
    std::map<int, QTimer*> timers_;
    std::vector<std::unique_ptr<QtControl>> controls_;
    QtControl* focused_ = nullptr;
    QLabel* icon_ = nullptr;
    QEventLoop* modalLoop_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace platform::qt
