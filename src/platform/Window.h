// Windows as the program sees them: a rectangle on the screen with a handler that receives
// messages (paint, stylus, timers, scrolling, size, close, keys, commands), a 24-bit drawing
// surface of its own, stylus capture, timers by id, scroll bars and child controls.
// "The screen" is the main window's client area; window rectangles are in its coordinates.
// The Qt layer installs the real window system at start; without one a headless window
// system keeps windows in memory (tests, the batch tool).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/raster/Bitmap.h"
#include "platform/raster/Draw.h"

namespace platform {

using raster::Rect;

class CommandBar;
class Control;
class Window;
struct DialogTemplate;
enum class ControlKind : int;

enum class MessageKind {
    Paint,        // rect: the part to repaint; draw into GetDC()
    StylusDown,   // x, y: client point (left button or touch)
    StylusMove,   // x, y
    StylusUp,     // x, y
    DoubleTap,    // x, y: the second press of a double click (windows made with doubleClicks)
    Timer,        // id: the timer id
    HScroll,      // code, position; id: the control id of a trackbar, 0 for the window's own bar
    VScroll,      // code, position; id as HScroll
    Size,         // width, height: the new client size
    Close,        // the close request; the handler decides (Destroy) — nothing happens by default
    KeyDown,      // id: the key code
    Command,      // id: command or control identifier; code: the control's notification
    InitDialog,   // a dialog is about to be shown: place it and create its controls
    UpDownDelta,  // id: the up-down control; delta: the proposed change (+1 up, -1 down)
    User,         // id: a private message number; x, y: its parameters
    Wheel,        // x, y: the client point under the pointer; wheel: the turn
    FileDrop,     // text: the full path of a file dropped on the main window
    PointerMove,  // x, y: the pointer over a window made with pointerTracking, pressed or not
    PointerLeave, // the pointer has left that window
};

// KeyDown's id for the Escape key.
constexpr int kKeyEscape = 0x1B;

enum class ScrollCode { LineUp, LineDown, PageUp, PageDown, ThumbPosition, ThumbTrack, Top, Bottom, EndScroll };

// Notification codes of Command messages sent by controls.
enum class Notify { None, Clicked, Changed, SelectionChanged };

// A turn of the mouse wheel or a swipe on a touchpad. Angles are in eighths of a degree, the
// usual notch being 120, and may come in smaller parts from fine wheels; pixels are the exact
// distance a touchpad asks for, 0 when the device gives none. Positive is away from the user
// (up) and to the left, as the content should follow it.
struct WheelTurn {
    int angleX = 0;
    int angleY = 0;
    int pixelX = 0;
    int pixelY = 0;
    bool shift = false;
    bool control = false;
};

struct WindowMessage {
    MessageKind kind = MessageKind::Paint;
    int x = 0;
    int y = 0;
    int id = 0;
    Notify code = Notify::None;
    ScrollCode scrollCode = ScrollCode::EndScroll;
    int position = 0;  // thumb position of a scroll message
    int delta = 0;
    int width = 0;
    int height = 0;
    Rect rect{};
    WheelTurn wheel{};
    std::string text;
};

// The tip shown while the pointer rests at a point of a window: its text ("" for none) and
// the part of the client area it speaks of, so that it goes when the pointer leaves that part.
struct ToolTip {
    std::string text;
    Rect area{};
};

// A window's procedure. Returns the message's result (1 = done; 0 = not handled).
class WindowHandler {
public:
    virtual ~WindowHandler() = default;
    virtual int Handle(Window& window, const WindowMessage& message) = 0;
    // Asked when the pointer rests at the client point (x, y); no tip by default.
    virtual ToolTip ToolTipAt(Window& window, int x, int y) {
        (void)window, (void)x, (void)y;
        return {};
    }
};

enum class ScrollBarKind { Horizontal, Vertical };

// A scroll bar's range is min ... max inclusive; position runs 0 ... max - page + 1.
// The bar shows only while the range is larger than the page.
struct ScrollBarInfo {
    int min = 0;
    int max = 0;
    int page = 0;
    int position = 0;
};

struct WindowStyle {
    bool border = false;  // a one-pixel frame inside the window rectangle
    bool horizontalScrollBar = false;
    bool verticalScrollBar = false;
    bool doubleClicks = false;  // a second press soon after the first comes as DoubleTap
    bool pointerTracking = false;  // every pointer move comes as PointerMove, then PointerLeave
    bool visible = true;
};

class Window {
public:
    virtual ~Window() = default;

    // Calls the handler now with the message and returns its result.
    virtual int Send(const WindowMessage& message) = 0;

    // Places the window (screen coordinates for dialogs and popups, the parent's client
    // coordinates for child windows); the handler receives Size when the client size changes.
    virtual void Move(int x, int y, int width, int height, bool repaint = true) = 0;
    virtual void Show(bool visible) = 0;
    virtual bool IsVisible() const = 0;
    // To the top of its siblings.
    virtual void BringToTop() = 0;
    virtual void SetTitle(const std::string& title) = 0;
    virtual std::string Title() const = 0;

    // (0, 0, client width, client height).
    virtual Rect ClientRect() const = 0;
    // The outer rectangle, border and scroll bars included, in screen coordinates.
    virtual Rect WindowRect() const = 0;

    // The window's own 24-bit surface, the size of the client area. What is drawn into it is
    // shown once the current message has been handled; Paint messages draw into it too.
    virtual raster::DrawingContext& GetDC() = 0;
    // Asks for a Paint message for the whole client area or a part of it.
    virtual void Invalidate() = 0;
    virtual void Invalidate(const Rect& rect) = 0;
    // Delivers a pending Paint message now and shows the surface.
    virtual void Update() = 0;

    // While captured, every stylus event comes to this window, wherever it happens.
    virtual void CaptureStylus() = 0;
    virtual void ReleaseStylus() = 0;
    virtual bool HasCapture() const = 0;

    // Starts (or restarts) timer id with the period; ticks come as Timer messages.
    virtual void SetTimer(int id, int periodMs) = 0;
    virtual void KillTimer(int id) = 0;

    virtual void SetScrollBar(ScrollBarKind bar, const ScrollBarInfo& info, bool redraw) = 0;
    virtual void SetScrollPosition(ScrollBarKind bar, int position, bool redraw) = 0;
    virtual ScrollBarInfo GetScrollBar(ScrollBarKind bar) const = 0;

    // Child controls (dialogs mostly; any window may hold them). Style holds the extra style
    // bits of Dialog.h. The window owns its controls.
    virtual Control* AddControl(ControlKind kind, int id, int x, int y, int width, int height, std::uint32_t style,
                                const std::string& text) = 0;
    virtual Control* FindControl(int id) = 0;

    // Dialogs: a caption strip with the title and an OK button that sends Command 1 (shown),
    // or none (the window is a plain bordered popup).
    virtual void SetCaptionBar(bool shown) = 0;
    virtual void SetBackground(raster::Colour colour) = 0;
    // Ends a modal dialog's run with the result; a modeless one is destroyed.
    virtual void EndDialog(int result) = 0;
};

// The whole window system, one per process.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The frame window that fills the screen above the command bar. There is one.
    virtual Window* CreateMainWindow(WindowHandler* handler) = 0;
    virtual Window* MainWindow() = 0;
    // A child window of the main window.
    virtual Window* CreateChildWindow(int x, int y, int width, int height, const WindowStyle& style,
                                      WindowHandler* handler) = 0;
    // The window is gone after this; its handler receives nothing more.
    virtual void DestroyWindow(Window* window) = 0;

    // The main window's command bar, made once; null before.
    virtual CommandBar* CreateCommandBar() = 0;
    virtual CommandBar* GetCommandBar() = 0;

    // Dialogs from a template, owned by the main window. The modal run sends InitDialog,
    // then processes events until EndDialog and returns its result.
    virtual int RunModalDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) = 0;
    virtual Window* CreateModelessDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) = 0;

    // Screen metrics: the size of the screen, its logical dots per inch, and the height of
    // a horizontal scroll bar (the width of a vertical one).
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    virtual int LogicalDpiX() = 0;
    virtual int ScrollBarHeight() = 0;

    // Title bar and task bar hidden (on), or the normal window (off).
    virtual void SetFullScreen(bool on) = 0;

    // Run at stylus-down: true when the press is the secondary action (the right button, or
    // held still for about half a second). Events it waits through are delivered afterwards.
    virtual bool RecognizeTapAndHold(Window& window, int x, int y) = 0;

    // Closes every window and leaves the event loop.
    virtual void Quit() = 0;
};

// Installs the window system used from now on; null returns to the headless one.
void SetWindowSystem(WindowSystem* system);
WindowSystem& Windows();

// The program's idle work: a procedure run after every message a window has handled, where
// what is shown outside the windows (the window title) catches up with the program's state.
// An empty function removes it. The window systems call RunIdleProcedure; it does not run
// again from within itself.
void SetIdleProcedure(std::function<void()> procedure);
void RunIdleProcedure();

// Shorthands for the installed window system.
Window* MainWindow();
// The canvas window of an image slot: a bordered child of the main window with both scroll
// bars, double clicks and the pointer followed.
Window* CreateCanvasWindow(int x, int y, int width, int height, WindowHandler* handler);
Window* CreateChildWindow(int x, int y, int width, int height, const WindowStyle& style, WindowHandler* handler);
void DestroyWindow(Window* window);
int ScreenWidth();
int ScreenHeight();
int LogicalDpiX();
int ScrollBarHeight();

}  // namespace platform
