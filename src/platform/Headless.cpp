#include "platform/Headless.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

HeadlessWindow* g_capture = nullptr;

bool IsEditKind(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::NumberEdit || kind == ControlKind::MultiLineEdit;
}

int BarIndex(ScrollBarKind bar) { return bar == ScrollBarKind::Horizontal ? 0 : 1; }

int MaxPosition(const ScrollBarInfo& info) {
    return std::max(info.min, info.max - std::max(info.page, 1) + 1);
}

}  // namespace

HeadlessControl::HeadlessControl(HeadlessWindow& parent, ControlKind kind, int id, const Rect& geometry,
                                 std::uint32_t style, const std::string& text)
    : parent_(parent),
      kind_(kind),
      id_(id),
      geometry_(geometry),
      style_(style),
      text_(text),
      enabled_((style & kStyleDisabled) == 0) {}

void HeadlessControl::SetText(const std::string& text) {
    text_ = text;
    // Edits report every change of their text, whoever made it.
    if (IsEditKind(kind_)) {
        WindowMessage message;
        message.kind = MessageKind::Command;
        message.id = id_;
        message.code = Notify::Changed;
        parent_.Send(message);
    }
}

void HeadlessControl::Move(int x, int y, int width, int height) { geometry_ = {x, y, x + width, y + height}; }

void HeadlessControl::SetFocus() { parent_.SetFocusedControl(this); }

bool HeadlessControl::HasFocus() const { return parent_.FocusedControl() == this; }

void HeadlessControl::BringToTop() {
    auto& controls = parent_.MutableControls();
    auto it = std::find_if(controls.begin(), controls.end(), [this](const auto& c) { return c.get() == this; });
    if (it == controls.end()) return;
    std::rotate(it, it + 1, controls.end());
}

void HeadlessControl::SetColours(raster::Colour text, raster::Colour background) {
    textColour_ = text;
    background_ = background;
}

void HeadlessControl::ClearItems() {
    items_.clear();
    selection_ = -1;
}

void HeadlessControl::SetSelection(int index) {
    selection_ = (index >= 0 && index < ItemCount()) ? index : -1;
}

void HeadlessControl::SetRange(int min, int max, bool) {
    min_ = min;
    max_ = max;
    position_ = std::clamp(position_, min_, std::max(min_, max_));
}

void HeadlessControl::SetPosition(int position) { position_ = std::clamp(position, min_, std::max(min_, max_)); }

HeadlessWindow::HeadlessWindow(const WindowStyle& style, WindowHandler* handler, bool dialog)
    : style_(style), handler_(handler), dialog_(dialog), visible_(style.visible) {}

void HeadlessWindow::Show(bool visible) {
    visible_ = visible;
    if (!visible || shownOnce_) return;
    // The first showing tells the handler its size, as creation did not.
    shownOnce_ = true;
    const Rect client = ClientRect();
    WindowMessage message;
    message.kind = MessageKind::Size;
    message.width = client.Width();
    message.height = client.Height();
    Send(message);
}

int HeadlessWindow::Send(const WindowMessage& message) {
    if (!handler_) return 0;
    const int result = handler_->Handle(*this, message);
    RunIdleProcedure();
    return result;
}

bool HeadlessWindow::ScrollBarShown(ScrollBarKind bar) const {
    bool styled = bar == ScrollBarKind::Horizontal ? style_.horizontalScrollBar : style_.verticalScrollBar;
    if (!styled) return false;
    const ScrollBarInfo& info = bars_[BarIndex(bar)];
    if (info.page <= 0) return info.max > info.min;
    return info.max - info.min + 1 > info.page;
}

Rect HeadlessWindow::ClientRect() const {
    int border = style_.border ? 2 : 0;
    int width = width_ - border - (ScrollBarShown(ScrollBarKind::Vertical) ? Windows().ScrollBarHeight() : 0);
    int height =
        height_ - border - (ScrollBarShown(ScrollBarKind::Horizontal) ? Windows().ScrollBarHeight() : 0);
    return {0, 0, std::max(0, width), std::max(0, height)};
}

void HeadlessWindow::ResizeSurface() {
    Rect client = ClientRect();
    const raster::Bitmap* current = surface_.SelectedBitmap();
    if (current && current->Width() == client.Width() && current->Height() == client.Height()) return;
    if (client.Width() <= 0 || client.Height() <= 0) {
        surface_.Select(nullptr);
    } else {
        raster::BitmapInfo info{};
        info.header.width = client.Width();
        info.header.height = client.Height();
        info.header.bitCount = 24;
        auto bitmap = raster::Bitmap::Create(info);
        if (bitmap) std::memset(bitmap->Bits(), 0xFF, bitmap->ByteSize());
        surface_.Select(std::move(bitmap));
    }
    paintPending_ = true;
    WindowMessage message;
    message.kind = MessageKind::Size;
    message.width = client.Width();
    message.height = client.Height();
    Send(message);
}

void HeadlessWindow::Move(int x, int y, int width, int height, bool) {
    x_ = x;
    y_ = y;
    width_ = width;
    height_ = height;
    ResizeSurface();
}

void HeadlessWindow::Update() {
    if (!paintPending_) return;
    paintPending_ = false;
    WindowMessage message;
    message.kind = MessageKind::Paint;
    message.rect = ClientRect();
    Send(message);
}

void HeadlessWindow::CaptureStylus() { g_capture = this; }

void HeadlessWindow::ReleaseStylus() {
    if (g_capture == this) g_capture = nullptr;
}

bool HeadlessWindow::HasCapture() const { return g_capture == this; }

int HeadlessWindow::TimerPeriod(int id) const {
    auto it = timers_.find(id);
    return it == timers_.end() ? 0 : it->second;
}

void HeadlessWindow::SetScrollBar(ScrollBarKind bar, const ScrollBarInfo& info, bool) {
    ScrollBarInfo& stored = bars_[BarIndex(bar)];
    stored = info;
    stored.position = std::clamp(info.position, info.min, MaxPosition(info));
    ResizeSurface();
}

void HeadlessWindow::SetScrollPosition(ScrollBarKind bar, int position, bool) {
    ScrollBarInfo& stored = bars_[BarIndex(bar)];
    stored.position = std::clamp(position, stored.min, MaxPosition(stored));
}

ScrollBarInfo HeadlessWindow::GetScrollBar(ScrollBarKind bar) const { return bars_[BarIndex(bar)]; }

Control* HeadlessWindow::AddControl(ControlKind kind, int id, int x, int y, int width, int height,
                                    std::uint32_t style, const std::string& text) {
    controls_.push_back(
        std::make_unique<HeadlessControl>(*this, kind, id, Rect{x, y, x + width, y + height}, style, text));
    return controls_.back().get();
}

Control* HeadlessWindow::FindControl(int id) {
    for (auto& control : controls_) {
        if (control->Id() == id) return control.get();
    }
    return nullptr;
}

void HeadlessWindow::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    if (modeless_) Windows().DestroyWindow(this);
}

HeadlessWindowSystem::HeadlessWindowSystem() = default;
HeadlessWindowSystem::~HeadlessWindowSystem() = default;

HeadlessWindow* HeadlessWindowSystem::Adopt(std::unique_ptr<HeadlessWindow> window) {
    HeadlessWindow* raw = window.get();
    windows_.push_back(std::move(window));
    live_.push_back(raw);
    return raw;
}

Window* HeadlessWindowSystem::CreateMainWindow(WindowHandler* handler) {
    WindowStyle style;
    style.visible = false;
    main_ = Adopt(std::make_unique<HeadlessWindow>(style, handler, false));
    // The frame fills the screen above the command bar.
    main_->Move(0, 0, screenWidth, screenHeight - CommandBarModel().Height(), false);
    return main_;
}

Window* HeadlessWindowSystem::CreateChildWindow(int x, int y, int width, int height, const WindowStyle& style,
                                                WindowHandler* handler) {
    HeadlessWindow* window = Adopt(std::make_unique<HeadlessWindow>(style, handler, false));
    window->Move(x, y, width, height, false);
    return window;
}

void HeadlessWindowSystem::DestroyWindow(Window* window) {
    auto it = std::find(live_.begin(), live_.end(), window);
    if (it == live_.end()) return;
    HeadlessWindow* headless = *it;
    if (g_capture == headless) g_capture = nullptr;
    headless->MarkDestroyed();
    live_.erase(it);
    if (main_ == headless) main_ = nullptr;
}

void HeadlessWindowSystem::ForgetDestroyedWindows() {
    std::erase_if(windows_, [this](const std::unique_ptr<HeadlessWindow>& window) {
        return std::find(live_.begin(), live_.end(), window.get()) == live_.end();
    });
    retired_.clear();
}

CommandBar* HeadlessWindowSystem::CreateCommandBar() {
    if (!commandBar_) commandBar_ = std::make_unique<CommandBarModel>();
    return commandBar_.get();
}

int HeadlessWindowSystem::RunModalDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) {
    WindowStyle style;
    // A dialog may open another (a message box's owner, the colour table from the options):
    // the outer one lives on until the windows are forgotten.
    if (lastModal_) retired_.push_back(std::move(lastModal_));
    lastModal_ = std::make_unique<HeadlessWindow>(style, handler, true);
    HeadlessWindow& dialog = *lastModal_;
    dialog.SetCaptionBar(dialogTemplate.caption);
    dialog.SetTitle(dialogTemplate.captionText);
    WindowMessage init;
    init.kind = MessageKind::InitDialog;
    dialog.Send(init);
    if (!dialog.Ended() && onModal) onModal(dialog);
    int result = dialog.Ended() ? dialog.Result() : 0;
    if (g_capture == &dialog) g_capture = nullptr;
    dialog.MarkDestroyed();
    return result;
}

Window* HeadlessWindowSystem::CreateModelessDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) {
    WindowStyle style;
    HeadlessWindow* dialog = Adopt(std::make_unique<HeadlessWindow>(style, handler, true));
    dialog->SetModeless();
    dialog->SetCaptionBar(dialogTemplate.caption);
    dialog->SetTitle(dialogTemplate.captionText);
    WindowMessage init;
    init.kind = MessageKind::InitDialog;
    dialog->Send(init);
    return dialog;
}

HeadlessWindowSystem& DefaultHeadlessSystem() {
    static HeadlessWindowSystem system;
    return system;
}

}  // namespace platform
