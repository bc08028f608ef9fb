// A window system without a screen: windows, controls and the command bar kept in memory.
// It serves the batch tool and the tests, which drive handlers with Send and read back what
// the program did to its windows (places, scroll bars, timers, controls, captions).
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/Dialog.h"
#include "platform/MenuModel.h"
#include "platform/Window.h"

namespace platform {

class HeadlessWindow;

class HeadlessControl : public Control {
public:
    HeadlessControl(HeadlessWindow& parent, ControlKind kind, int id, const Rect& geometry, std::uint32_t style,
                    const std::string& text);

    int Id() const override { return id_; }
    ControlKind Kind() const override { return kind_; }
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override;
    void Move(int x, int y, int width, int height) override;
    Rect Geometry() const override { return geometry_; }
    void Show(bool visible) override { visible_ = visible; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool IsEnabled() const override { return enabled_; }
    void SetFocus() override;
    bool HasFocus() const override;
    void BringToTop() override;
    void SetFont(const raster::Font* font) override { font_ = font; }
    void SetColours(raster::Colour text, raster::Colour background) override;
    bool IsChecked() const override { return checked_; }
    void SetChecked(bool checked) override { checked_ = checked; }
    void AddItem(const std::string& item) override { items_.push_back(item); }
    void ClearItems() override;
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    int Selection() const override { return selection_; }
    void SetSelection(int index) override;
    void SetRange(int min, int max, bool redraw) override;
    void SetPosition(int position) override;
    int Position() const override { return position_; }
    void SetPageSize(int page) override { page_ = page; }

    std::uint32_t Style() const { return style_; }
    bool IsShown() const { return visible_; }
    const raster::Font* Font() const { return font_; }
    raster::Colour TextColour() const { return textColour_; }
    raster::Colour BackgroundColour() const { return background_; }
    const std::vector<std::string>& Items() const { return items_; }
    int RangeMin() const { return min_; }
    int RangeMax() const { return max_; }
    int PageSize() const { return page_; }

private:
    HeadlessWindow& parent_;
    ControlKind kind_;
    int id_;
    Rect geometry_;
    std::uint32_t style_;
    std::string text_;
    bool visible_ = true;
    bool enabled_;
    bool checked_ = false;
    const raster::Font* font_ = nullptr;
    raster::Colour textColour_ = 0;
    raster::Colour background_ = 0xFFFFFF;
    std::vector<std::string> items_;
    int selection_ = -1;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int page_ = 0;
};

class HeadlessWindow : public Window {
public:
    HeadlessWindow(const WindowStyle& style, WindowHandler* handler, bool dialog);

    int Send(const WindowMessage& message) override;
    void Move(int x, int y, int width, int height, bool repaint) override;
    void Show(bool visible) override;
    bool IsVisible() const override { return visible_; }
    void BringToTop() override { ++raised_; }
    void SetTitle(const std::string& title) override { title_ = title; }
    std::string Title() const override { return title_; }
    Rect ClientRect() const override;
    Rect WindowRect() const override { return {x_, y_, x_ + width_, y_ + height_}; }
    raster::DrawingContext& GetDC() override { return surface_; }
    void Invalidate() override { paintPending_ = true; }
    void Invalidate(const Rect&) override { paintPending_ = true; }
    void Update() override;
    void CaptureStylus() override;
    void ReleaseStylus() override;
    bool HasCapture() const override;
    void SetTimer(int id, int periodMs) override {
        timers_[id] = periodMs;
        ++timerStarts_[id];
    }
    void KillTimer(int id) override { timers_.erase(id); }
    void SetScrollBar(ScrollBarKind bar, const ScrollBarInfo& info, bool redraw) override;
    void SetScrollPosition(ScrollBarKind bar, int position, bool redraw) override;
    ScrollBarInfo GetScrollBar(ScrollBarKind bar) const override;
    Control* AddControl(ControlKind kind, int id, int x, int y, int width, int height, std::uint32_t style,
                        const std::string& text) override;
    Control* FindControl(int id) override;
    void SetCaptionBar(bool shown) override { caption_ = shown; }
    void SetBackground(raster::Colour colour) override { background_ = colour; }
    void EndDialog(int result) override;

    WindowHandler* Handler() const { return handler_; }
    const WindowStyle& Style() const { return style_; }
    bool IsDialog() const { return dialog_; }
    bool HasCaptionBar() const { return caption_; }
    raster::Colour Background() const { return background_; }
    bool PaintPending() const { return paintPending_; }
    int RaiseCount() const { return raised_; }
    // The period of a running timer, 0 when it is not running.
    int TimerPeriod(int id) const;
    // How often the timer was (re)started: each start begins its period anew.
    int TimerStarts(int id) const {
        auto it = timerStarts_.find(id);
        return it == timerStarts_.end() ? 0 : it->second;
    }
    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    // Whether the bar shows: its range is larger than its page.
    bool ScrollBarShown(ScrollBarKind bar) const;
    // Controls in creation order, the topmost last.
    const std::vector<std::unique_ptr<HeadlessControl>>& Controls() const { return controls_; }
    std::vector<std::unique_ptr<HeadlessControl>>& MutableControls() { return controls_; }
    HeadlessControl* FocusedControl() const { return focused_; }
    void SetFocusedControl(HeadlessControl* control) { focused_ = control; }
    void MarkDestroyed() { handler_ = nullptr; }
    void SetModeless() { modeless_ = true; }

private:
    void ResizeSurface();

    WindowStyle style_;
    WindowHandler* handler_;
    bool dialog_;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_;
    int raised_ = 0;
    std::string title_;
    raster::DrawingContext surface_;
    bool paintPending_ = false;
    std::map<int, int> timers_;
    std::map<int, int> timerStarts_;
    ScrollBarInfo bars_[2];
    std::vector<std::unique_ptr<HeadlessControl>> controls_;
    HeadlessControl* focused_ = nullptr;
    bool caption_ = false;
    raster::Colour background_ = 0xFFFFFF;
    bool modeless_ = false;
    bool shownOnce_ = false;
    bool ended_ = false;
    int result_ = 0;
};

class HeadlessWindowSystem : public WindowSystem {
public:
    HeadlessWindowSystem();
    ~HeadlessWindowSystem() override;

    Window* CreateMainWindow(WindowHandler* handler) override;
    Window* MainWindow() override { return main_; }
    Window* CreateChildWindow(int x, int y, int width, int height, const WindowStyle& style,
                              WindowHandler* handler) override;
    void DestroyWindow(Window* window) override;
    CommandBar* CreateCommandBar() override;
    CommandBar* GetCommandBar() override { return commandBar_.get(); }
    int RunModalDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) override;
    Window* CreateModelessDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) override;
    int ScreenWidth() override { return screenWidth; }
    int ScreenHeight() override { return screenHeight; }
    int LogicalDpiX() override { return logicalDpi; }
    int ScrollBarHeight() override { return scrollBarHeight; }
    void SetFullScreen(bool on) override { fullScreen = on; }
    bool RecognizeTapAndHold(Window&, int, int) override { return tapAndHold; }
    void Quit() override { quit = true; }

    // Windows that still exist, in creation order.
    const std::vector<HeadlessWindow*>& LiveWindows() const { return live_; }
    HeadlessWindow* capture = nullptr;

    int screenWidth = 240;
    int screenHeight = 320;
    int logicalDpi = 96;
    int scrollBarHeight = 13;
    bool fullScreen = false;
    bool tapAndHold = false;
    bool quit = false;
    // Runs while a modal dialog is open (after InitDialog), standing in for the user; the
    // run returns the dialog's result if it was ended, else 0.
    std::function<void(HeadlessWindow& dialog)> onModal;
    // The last modal dialog's window, kept after its run for inspection.
    HeadlessWindow* LastModal() const { return lastModal_.get(); }
    // Frees the windows destroyed so far and the modal dialogs before the last, as a real
    // window system would have. Only between messages, when nothing holds them.
    void ForgetDestroyedWindows();

private:
    HeadlessWindow* Adopt(std::unique_ptr<HeadlessWindow> window);

    std::vector<std::unique_ptr<HeadlessWindow>> windows_;
    std::vector<HeadlessWindow*> live_;
    HeadlessWindow* main_ = nullptr;
    std::unique_ptr<CommandBarModel> commandBar_;
    std::unique_ptr<HeadlessWindow> lastModal_;
    std::vector<std::unique_ptr<HeadlessWindow>> retired_;
};

// The headless system in use when no other is installed.
HeadlessWindowSystem& DefaultHeadlessSystem();

}  // namespace platform
