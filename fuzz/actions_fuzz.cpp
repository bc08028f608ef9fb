// The whole program driven by streams of user actions (ActionCodes.h) on the headless window
// system: taps, holds, drags and double taps on the canvas, the bars and their popups, every
// command of the command bar, shortcuts, timers, scrolling, the wheel, the clipboard, new
// pictures and restarts with stored settings; dialogs, message boxes and file dialogs answered
// from the same stream. After every action the program's state is checked, and a breach ends
// the run with one line on standard error and an abort.
#include <sanitizer/allocator_interface.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ActionCodes.h"
#include "files/PngWriter.h"
#include "files/ReadImage.h"
#include "filters/CommandIds.h"
#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "panels/PanelState.h"
#include "panels/ToolBar.h"
#include "platform/Clipboard.h"
#include "platform/Dialog.h"
#include "platform/FileDialog.h"
#include "platform/FilterPump.h"
#include "platform/Fonts.h"
#include "platform/Headless.h"
#include "platform/MenuModel.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/raster/Draw.h"
#include "shell/Dispatch.h"
#include "shell/MainFrame.h"
#include "shell/Menus.h"
#include "shell/ProgramState.h"
#include "shell/Shortcuts.h"
#include "tools/Canvas.h"
#include "tools/Shapes.h"
#include "tools/ToolTable.h"

using namespace fuzzcodes;

namespace {

constexpr int kLargestSide = 64;               // what New makes
constexpr long kLargestArea = 160L * 160L;     // beyond this an input stops: it would only be slow
constexpr int kLongestRun = 3000;              // actions per input
constexpr int kRoundTripEvery = 16;
constexpr std::size_t kHistoryBudget = 2u << 20;            // actions between two save-and-open checks at most

[[noreturn]] void Breach(const std::string& what) {
    std::fprintf(stderr, "INVARIANT BREACH: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    int Signed() { return static_cast<std::int8_t>(Byte()); }
    int Word() { return Byte() << 8 | Byte(); }
    std::uint32_t Long() { return static_cast<std::uint32_t>(Word()) << 16 | static_cast<std::uint32_t>(Word()); }
    bool Empty() const { return at_ >= size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

Input* g_input = nullptr;
Input& In() { return *g_input; }

int CoordinateOf(std::uint8_t b) {
    if (b == 255) return 32767;
    if (b == 254) return -32768;
    return b - 32;
}

std::string TypedText() {
    switch (In().Byte() % kTextCount) {
        case kTextEmpty: return "";
        case kTextMinus: return "-";
        case kTextWord: return "abc";
        case kTextTrailing: return "12abc";
        case kTextHuge: return "99999";
        case kTextNegativeHuge: return "-99999";
        case kTextOverflow: return "2147483648";
        case kTextPlus: return "+5";
        case kTextSpace: return " 7";
        default: {
            const int value = In().Signed();
            static const int scales[] = {1, 2, 8, 100};
            return std::to_string(value * scales[In().Byte() % 4]);
        }
    }
}

// Message boxes answered from the stream with one of the box's own buttons.
class Messages : public platform::MessageBoxService {
public:
    platform::MessageResult Show(const std::string& text, const std::string& caption, platform::MessageButtons buttons,
                                 platform::MessageIcon) override {
        if (text.empty() || caption.empty()) Breach("a message box without text or caption");
        ++open;
        const int pick = In().Byte();
        --open;
        using platform::MessageResult;
        switch (buttons) {
            case platform::MessageButtons::Ok: return MessageResult::Ok;
            case platform::MessageButtons::OkCancel: return pick % 2 ? MessageResult::Cancel : MessageResult::Ok;
            case platform::MessageButtons::YesNo: return pick % 2 ? MessageResult::No : MessageResult::Yes;
            case platform::MessageButtons::YesNoCancel: {
                static const MessageResult answers[] = {MessageResult::Yes, MessageResult::No, MessageResult::Cancel};
                return answers[pick % 3];
            }
        }
        return MessageResult::Ok;
    }
    int open = 0;
};

std::string g_folder;  // this process's folder for saved and opened files

// The file dialogs: cancelled, or a name in the fuzzer's folder, some of them not pictures.
class FileDialogs : public platform::FileDialogService {
public:
    platform::FileDialogResult Run(const platform::FileDialogRequest& request) override {
        platform::FileDialogResult result;
        const int pick = In().Byte();
        result.typeIndex = In().Byte() % 4 - 1;
        if (pick % 8 == 0) return result;
        result.path = FileName(pick);
        return result;
    }
    static std::string FileName(int pick) { return g_folder + "/" + kNames[pick % kNameCount]; }
    // Every input starts with the same files: what an earlier one saved is gone.
    static void ForgetSavedFiles() {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(g_folder, ignored)) {
            const std::string name = entry.path().filename().string();
            if (name != "broken.png" && name != "folder" && name != "bin") std::filesystem::remove_all(entry.path(), ignored);
        }
    }

private:
    static constexpr const char* kNames[] = {"a.png", "b.bmp", "c.jpg", "d.PNG", "broken.png", "missing.png",
                                             "noext", "folder", "e.gif", "f.jpeg"};
    static constexpr int kNameCount = sizeof kNames / sizeof kNames[0];
};

// Fonts of blocks: every character a box half as wide as the font is high, so that the text
// tool has something to measure and draw without a window system.
class BlockFont : public raster::Font {
public:
    explicit BlockFont(int height) : height(height) {}
    int height;
};

class BlockFonts : public platform::FontService {
public:
    std::vector<std::string> Families() override { return {"Blocks", "Blocks Narrow"}; }
    std::unique_ptr<raster::Font> Make(const platform::FontSpec& wanted) override {
        int height = wanted.height == 0 ? 12 : std::abs(wanted.height);
        return std::make_unique<BlockFont>(std::min(height, 255));
    }
    platform::TextSize Measure(const raster::Font& font, const std::string& text) override {
        const int h = static_cast<const BlockFont&>(font).height;
        int widest = 0, line = 0, lines = 1;
        for (char c : text) {
            if (c == '\n') {
                ++lines;
                line = 0;
                continue;
            }
            widest = std::max(widest, ++line);
        }
        return {widest * std::max(1, h / 2), lines * h};
    }
    void Draw(raster::DrawingContext& dc, const raster::Font& font, int x, int y, const std::string& text,
              const raster::Rect& clip, const raster::Colour* background) override {
        const int h = static_cast<const BlockFont&>(font).height;
        const int w = std::max(1, h / 2);
        int cx = x, cy = y;
        for (char c : text) {
            if (c == '\n') {
                cx = x;
                cy += h;
                continue;
            }
            const raster::Rect cell{std::max(cx, clip.left), std::max(cy, clip.top), std::min(cx + w, clip.right),
                                    std::min(cy + h, clip.bottom)};
            if (cell.left < cell.right && cell.top < cell.bottom) {
                if (background) raster::FillRect(dc, cell, *background);
                if (c != ' ') raster::FillRect(dc, {cell.left, cell.top, cell.right, cell.top + (cell.bottom - cell.top) / 2},
                                               dc.TextColour());
            }
            cx += w;
        }
    }
};

struct Session {
    std::unique_ptr<platform::HeadlessWindowSystem> system;
    platform::MemorySettingsStore settings;
    platform::MemoryClipboard clipboard;
    Messages messages;
    FileDialogs files;
    BlockFonts fonts;
    int modalDepth = 0;
    int pumpedEvents = 0;
    bool ended = false;  // the program was left
};

Session* g_session = nullptr;
Session& S() { return *g_session; }


bool IsLive(platform::Window* window) {
    if (!window) return false;
    const auto& live = S().system->LiveWindows();
    return std::find(live.begin(), live.end(), window) != live.end();
}

int SendTo(platform::Window* window, platform::MessageKind kind, int x = 0, int y = 0, int id = 0) {
    if (!IsLive(window)) return 0;
    platform::WindowMessage m;
    m.kind = kind;
    m.x = x;
    m.y = y;
    m.id = id;
    return window->Send(m);
}

// ---- dialogs -------------------------------------------------------------------------------

void PlayDialogStep(platform::HeadlessWindow& dialog);

void DialogCommand(platform::HeadlessWindow& dialog, int id, platform::Notify code) {
    platform::WindowMessage m;
    m.kind = platform::MessageKind::Command;
    m.id = id;
    m.code = code;
    dialog.Send(m);
}

platform::HeadlessControl* PickControl(platform::HeadlessWindow& dialog) {
    const auto& controls = dialog.Controls();
    const int pick = In().Byte();
    if (controls.empty()) return nullptr;
    return controls[static_cast<std::size_t>(pick) % controls.size()].get();
}

void UseControl(platform::HeadlessWindow& dialog, platform::HeadlessControl& control) {
    using platform::ControlKind;
    const int id = control.Id();
    switch (control.Kind()) {
        case ControlKind::Edit:
        case ControlKind::NumberEdit:
        case ControlKind::MultiLineEdit: {
            std::string text = TypedText();
            // Now and then a word of letters, as typed into the text tool's field.
            if (control.Kind() != ControlKind::NumberEdit && In().Byte() % 4 == 0) text = "Ab c\nd";
            control.SetText(text);
            break;
        }
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            control.SetChecked(!control.IsChecked());
            DialogCommand(dialog, id, platform::Notify::Clicked);
            break;
        case ControlKind::ListBox:
        case ControlKind::DropDownCombo:
        case ControlKind::DropDownList:
            control.SetSelection(In().Byte() % (control.ItemCount() + 1));
            DialogCommand(dialog, id, platform::Notify::SelectionChanged);
            break;
        case ControlKind::Trackbar: {
            const int span = control.RangeMax() - control.RangeMin() + 1;
            const int position = control.RangeMin() + (span > 0 ? In().Word() % span : 0);
            control.SetPosition(position);
            platform::WindowMessage m;
            m.kind = platform::MessageKind::HScroll;
            m.id = id;
            m.scrollCode = static_cast<platform::ScrollCode>(In().Byte() % 9);
            m.position = position;
            dialog.Send(m);
            break;
        }
        case ControlKind::UpDown: {
            platform::WindowMessage m;
            m.kind = platform::MessageKind::UpDownDelta;
            m.id = id;
            m.delta = In().Byte() % 2 ? 1 : -1;
            dialog.Send(m);
            break;
        }
        case ControlKind::PushButton: DialogCommand(dialog, id, platform::Notify::Clicked); break;
        default: break;
    }
}

void TickTimers(platform::HeadlessWindow& window) {
    for (int id = 0; id < 4; ++id) {
        if (window.TimerPeriod(id) > 0 && !window.Ended()) SendTo(&window, platform::MessageKind::Timer, 0, 0, id);
    }
}

platform::HeadlessWindow* g_openDialog = nullptr;

void PlayDialogStep(platform::HeadlessWindow& dialog) {
    switch (In().Byte() % kDialogStepCount) {
        case kControl:
            if (platform::HeadlessControl* control = PickControl(dialog)) UseControl(dialog, *control);
            break;
        case kTicks:
            S().pumpedEvents = In().Byte() % 4;
            TickTimers(dialog);
            S().pumpedEvents = 0;
            break;
        case kArrow: {
            platform::HeadlessControl* control = PickControl(dialog);
            platform::WindowMessage m;
            m.kind = platform::MessageKind::UpDownDelta;
            m.id = control ? control->Id() : 0;
            m.delta = In().Signed();
            dialog.Send(m);
            break;
        }
        case kDialogTap: {
            const int x = CoordinateOf(In().Byte());
            const int y = CoordinateOf(In().Byte());
            SendTo(&dialog, platform::MessageKind::StylusDown, x, y);
            SendTo(&dialog, platform::MessageKind::StylusUp, x, y);
            break;
        }
        default: break;
    }
}

void PlayDialog(platform::HeadlessWindow& dialog) {
    ++S().modalDepth;
    platform::HeadlessWindow* outer = g_openDialog;
    g_openDialog = &dialog;
    const int steps = In().Byte() % 8;
    for (int i = 0; i < steps && !dialog.Ended(); ++i) PlayDialogStep(dialog);
    // The last change is previewed before the user decides, as the screen would show it.
    if (!dialog.Ended()) TickTimers(dialog);
    if (!dialog.Ended()) {
        switch (In().Byte() % kEndCount) {
            case kEndOk: DialogCommand(dialog, 1, platform::Notify::Clicked); break;
            case kEndButton: {
                std::vector<int> buttons;
                for (const auto& c : dialog.Controls()) {
                    if (c->Kind() == platform::ControlKind::PushButton) buttons.push_back(c->Id());
                }
                const int pick = In().Byte();
                if (!buttons.empty()) DialogCommand(dialog, buttons[pick % buttons.size()], platform::Notify::Clicked);
                break;
            }
            default: break;  // closed by the window's own close button
        }
    }
    g_openDialog = outer;
    --S().modalDepth;
}

// A long filter lets events through between its rows: the user may change a value or end the
// dialog meanwhile.
void PumpEvents() {
    if (S().pumpedEvents <= 0 || !g_openDialog || g_openDialog->Ended()) return;
    --S().pumpedEvents;
    PlayDialogStep(*g_openDialog);
}

// ---- the program ---------------------------------------------------------------------------

const char* const kSettingNames[] = {"Tool", "Group", "Size", "Brush", "Shape", "Pen", "Fill", "Round", "FColor",
                                     "BColor", "Trans", "Gradient", "GOpacity", "DOpacity", "FTolerance",
                                     "WTolerance", "Select", "Area", "Filter", "Text", "Palette", "Toolbar",
                                     "Colorbar", "Titlebar"};
constexpr int kSettingCount = sizeof kSettingNames / sizeof kSettingNames[0];

void AnswerSizeDialog(platform::HeadlessWindow& dialog, int width, int height);

bool NewPicture(int width, int height) {
    S().system->onModal = [width, height](platform::HeadlessWindow& dialog) { AnswerSizeDialog(dialog, width, height); };
    SendTo(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, CMD_NEW);
    S().system->onModal = [](platform::HeadlessWindow& dialog) { PlayDialog(dialog); };
    return ImageState.CurrentImage != 0;
}

void AnswerSizeDialog(platform::HeadlessWindow& dialog, int width, int height) {
    platform::Control* w = dialog.FindControl(2001);
    platform::Control* h = dialog.FindControl(2004);
    platform::Control* constrain = dialog.FindControl(2007);
    if (constrain && constrain->IsChecked()) {
        constrain->SetChecked(false);
        DialogCommand(dialog, 2007, platform::Notify::Clicked);
    }
    if (w) w->SetText(std::to_string(width));
    if (h) h->SetText(std::to_string(height));
    DialogCommand(dialog, 2011, platform::Notify::Clicked);
}

void Start() {
    Session& s = S();
    s.system = std::make_unique<platform::HeadlessWindowSystem>();
    platform::SetWindowSystem(s.system.get());
    ResetProgramState();
    s.system->onModal = [](platform::HeadlessWindow& dialog) { PlayDialog(dialog); };
    if (StartApplication(g_folder + "/bin/pixelwright") != 1) Breach("the program did not start");
    // A small budget, so that the history drops its oldest steps within a run too.
    SetHistoryBudget(kHistoryBudget);
    s.ended = false;
}

void Stop() {
    for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) FreeImageBox(slot);
    ResetProgramState();
    platform::SetWindowSystem(nullptr);
    S().system.reset();
}

platform::Window* TargetWindow(int pick) {
    switch (pick) {
        case kCanvas: return CurrentBox().window;
        case kToolBar: return ShellState.ToolBarWindow;
        case kColourBar: return ShellState.ColourBarWindow;
        case kFlyout: return PanelState.FlyoutWindow;
        case kColourPopup: return PanelState.ColourPopupWindow;
        case kBrushPicker: return PanelState.BrushPickerWindow;
        case kMainWindow: return ShellState.MainWindow;
        default: {
            const auto& live = S().system->LiveWindows();
            return live.empty() ? nullptr : live[static_cast<std::size_t>(pick - kTargetCount) % live.size()];
        }
    }
}

// Stylus events go to the window that holds the capture, as the platform delivers them.
platform::Window* Receiver(platform::Window* window) {
    for (platform::HeadlessWindow* w : S().system->LiveWindows()) {
        if (w->HasCapture()) return w;
    }
    return window;
}

void Stylus(platform::Window* window, platform::MessageKind kind, int x, int y) {
    SendTo(Receiver(window), kind, x, y);
}

void Gesture(Action action) {
    platform::Window* window = TargetWindow(In().Byte());
    int x = CoordinateOf(In().Byte());
    int y = CoordinateOf(In().Byte());
    using platform::MessageKind;
    switch (action) {
        case kTap:
            Stylus(window, MessageKind::StylusDown, x, y);
            Stylus(window, MessageKind::StylusUp, x, y);
            break;
        case kHold:
            S().system->tapAndHold = true;
            Stylus(window, MessageKind::StylusDown, x, y);
            S().system->tapAndHold = false;
            Stylus(window, MessageKind::StylusUp, x, y);
            break;
        case kDrag: {
            Stylus(window, MessageKind::StylusDown, x, y);
            const int moves = In().Byte() % 8;
            for (int i = 0; i < moves; ++i) {
                x = CoordinateOf(In().Byte());
                y = CoordinateOf(In().Byte());
                Stylus(window, MessageKind::StylusMove, x, y);
            }
            x = CoordinateOf(In().Byte());
            y = CoordinateOf(In().Byte());
            Stylus(window, MessageKind::StylusMove, x, y);
            Stylus(window, MessageKind::StylusUp, x, y);
            break;
        }
        case kDoubleTap:
            Stylus(window, MessageKind::StylusDown, x, y);
            Stylus(window, MessageKind::StylusUp, x, y);
            Stylus(window, MessageKind::DoubleTap, x, y);
            Stylus(window, MessageKind::StylusUp, x, y);
            break;
        case kDown: Stylus(window, MessageKind::StylusDown, x, y); break;
        case kMove: Stylus(window, MessageKind::StylusMove, x, y); break;
        case kUp: Stylus(window, MessageKind::StylusUp, x, y); break;
        default: break;
    }
}

void CollectItems(const platform::MenuModel& menu, std::vector<int>& ids) {
    for (const auto& item : menu.Items()) {
        if (item.subMenu) CollectItems(*item.subMenu, ids);
        if (item.id > 0) ids.push_back(item.id);
    }
}

platform::CommandBarModel* Bar() { return static_cast<platform::CommandBarModel*>(S().system->GetCommandBar()); }

// A menu item or bar button, chosen as the user can: the bar's update rule runs first, as it
// does when a menu opens, and a disabled item cannot be chosen.
void MenuCommand() {
    const int pick = In().Word();
    platform::CommandBarModel* bar = Bar();
    if (!bar) return;
    bar->UpdateAll();
    std::vector<int> ids;
    for (const auto& button : bar->Buttons()) {
        if (button.menu) CollectItems(*button.menu, ids);
        if (button.id > 0 && !button.menu) ids.push_back(button.id);
    }
    if (ids.empty()) return;
    const int id = ids[static_cast<std::size_t>(pick) % ids.size()];
    for (const auto& button : bar->Buttons()) {
        if (button.id == id && !button.menu && !button.enabled) return;
        if (button.menu) {
            if (const platform::MenuModel::Item* item = button.menu->Find(id); item && !item->enabled) return;
        }
    }
    if (std::getenv("PW_FUZZ_TRACE")) std::fprintf(stderr, "command %d\n", id);
    SendTo(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, id);
}

void ShortcutKey() {
    const int pick = In().Byte();
    platform::CommandBarModel* bar = Bar();
    if (!bar || bar->Shortcuts().empty()) return;
    const int id = bar->ShortcutTarget(bar->Shortcuts()[static_cast<std::size_t>(pick) % bar->Shortcuts().size()].id);
    if (id != 0) SendTo(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, id);
}

void ToolButton() {
    const int button = In().Byte() % 12;
    const bool hold = In().Byte() % 2;
    platform::Window* bar = ShellState.ToolBarWindow;
    if (!IsLive(bar)) return;
    S().system->tapAndHold = hold;
    Stylus(bar, platform::MessageKind::StylusDown, kButtonPitch * button + 10, 10);
    S().system->tapAndHold = false;
    Stylus(bar, platform::MessageKind::StylusUp, kButtonPitch * button + 10, 10);
}

void FlyoutRow() {
    const int row = In().Byte() % 10;
    platform::Window* flyout = PanelState.FlyoutWindow;
    if (!IsLive(flyout)) return;
    Stylus(flyout, platform::MessageKind::StylusUp, 60, row * 20 + 10);
}

void Timers() {
    const int which = In().Byte() % 3;
    if (which < 2) {
        SendTo(CurrentBox().window, platform::MessageKind::Timer, 0, 0, which + 1);
        return;
    }
    const std::vector<platform::HeadlessWindow*> live = S().system->LiveWindows();
    for (platform::HeadlessWindow* window : live) {
        if (IsLive(window)) TickTimers(*window);
    }
}

void Scroll() {
    platform::WindowMessage m;
    m.kind = In().Byte() % 2 ? platform::MessageKind::VScroll : platform::MessageKind::HScroll;
    m.scrollCode = static_cast<platform::ScrollCode>(In().Byte() % 9);
    m.position = In().Word() % 600;
    if (IsLive(CurrentBox().window)) CurrentBox().window->Send(m);
}

void Wheel() {
    platform::WindowMessage m;
    m.kind = platform::MessageKind::Wheel;
    m.x = CoordinateOf(In().Byte());
    m.y = CoordinateOf(In().Byte());
    const int turn = In().Signed() * 15;
    const int flags = In().Byte();
    (flags & 4 ? m.wheel.angleX : m.wheel.angleY) = turn;
    m.wheel.shift = flags & 1;
    m.wheel.control = flags & 2;
    if (IsLive(CurrentBox().window)) CurrentBox().window->Send(m);
}

void ForeignImage() {
    const int width = In().Byte() % 40 + 1;
    const int height = In().Byte() % 40 + 1;
    const int seed = In().Byte();
    const bool masked = In().Byte() % 2;
    raster::BitmapInfo info{};
    info.header.width = width;
    info.header.height = height;
    info.header.bitCount = 24;
    auto pixels = raster::Bitmap::Create(info);
    for (std::size_t i = 0; i < pixels->ByteSize(); ++i) pixels->Bits()[i] = static_cast<std::uint8_t>(seed * 31 + i * 7);
    std::unique_ptr<raster::Bitmap> mask;
    if (masked) {
        info.header.bitCount = 8;
        mask = raster::Bitmap::Create(info);
        for (std::size_t i = 0; i < mask->ByteSize(); ++i) mask->Bits()[i] = (i + seed) % 3 ? 255 : 0;
    }
    S().clipboard.PutForeignImage(*pixels, mask.get());
}

void Restart() {
    const int setting = In().Byte() % kSettingCount;
    const std::uint32_t value = In().Long();
    SendTo(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, CMD_EXIT);
    if (ShellState.MainWindow && IsLive(ShellState.MainWindow)) return;  // the user cancelled
    S().settings.WriteNumber(kSettingNames[setting], value);
    Stop();
    Start();
    NewPicture(32, 24);
}

void FileDrop() {
    platform::WindowMessage m;
    m.kind = platform::MessageKind::FileDrop;
    m.text = FileDialogs::FileName(In().Byte());
    if (IsLive(ShellState.MainWindow)) ShellState.MainWindow->Send(m);
}

void Act(Action action) {
    switch (action) {
        case kTap:
        case kHold:
        case kDrag:
        case kDoubleTap:
        case kDown:
        case kMove:
        case kUp: Gesture(action); break;
        case kMenu: MenuCommand(); break;
        case kShortcut: ShortcutKey(); break;
        case kUndo: SendTo(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, CMD_UNDO); break;
        case kToolButton: ToolButton(); break;
        case kFlyoutRow: FlyoutRow(); break;
        case kTimer: Timers(); break;
        case kScroll: Scroll(); break;
        case kWheel: Wheel(); break;
        case kForeignImage: ForeignImage(); break;
        case kNew: {
            const int width = In().Byte() % kLargestSide + 1;
            const int height = In().Byte() % kLargestSide + 1;
            NewPicture(width, height);
            break;
        }
        case kRestart: Restart(); break;
        case kFileDrop: FileDrop(); break;
        case kStepBackward: SendTo(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, CMD_STEP_BACKWARD); break;
        case kStepForward: SendTo(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, CMD_STEP_FORWARD); break;
        default: break;
    }
}

// ---- the invariants ------------------------------------------------------------------------

std::vector<std::uint8_t> Bytes(const raster::Bitmap* bitmap) {
    if (!bitmap) return {};
    std::vector<std::uint8_t> bytes;
    const int rowBytes = (bitmap->Width() * bitmap->Info().header.bitCount + 7) / 8;
    for (int y = 0; y < bitmap->Height(); ++y) bytes.insert(bytes.end(), bitmap->Row(y), bitmap->Row(y) + rowBytes);
    return bytes;
}

void CheckSize(const raster::Bitmap* bitmap, long width, long height, const char* what) {
    if (!bitmap) Breach(std::string(what) + " is missing");
    if (bitmap->Width() != width || bitmap->Height() != height) {
        Breach(std::string(what) + " is " + std::to_string(bitmap->Width()) + " x " + std::to_string(bitmap->Height()) +
               ", not " + std::to_string(width) + " x " + std::to_string(height));
    }
}

bool PieceExists() { return FloatingPiece.pieceDc != nullptr; }

void CheckSlots() {
    if (ImageState.CurrentImage == 0 || ImageState.CurrentImage >= kImageSlots) Breach("no current image");
    const ImageBox& box = CurrentBox();
    if (!box.window || !IsLive(box.window)) Breach("the current image has no canvas window");
    if (!box.workDc || box.workDc->SelectedBitmap() != box.workBitmap) Breach("the work buffer is not its context's");
    if (!box.undoDc || box.undoDc->SelectedBitmap() != box.undoBitmap) Breach("the undo buffer is not its context's");
    CheckSize(box.workBitmap, box.width, box.height, "the work buffer");
    if (box.workBitmap->Info().header.bitCount != 24 || box.undoBitmap->Info().header.bitCount != 24) {
        Breach("a document buffer is not 24 bits");
    }
    for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) {
        if (slot != ImageState.CurrentImage && (ImageBoxTable[slot].window || ImageBoxTable[slot].workBitmap)) {
            Breach("slot " + std::to_string(slot) + " is taken beside the current one");
        }
    }
}

void CheckPiece() {
    // The floating-piece tool without a piece is allowed: a selection entry chosen while the
    // modifier is on gives it, and every command and tap then acts as if nothing floated.
    if (!PieceExists()) return;
    const FloatingPieceRecord& p = FloatingPiece;
    if (p.pieceDc->SelectedBitmap() != p.pieceBitmap) Breach("the piece is not its context's");
    CheckSize(p.pieceBitmap, p.pieceWidth, p.pieceHeight, "the piece");
    if (p.pieceWidth == 0 || p.pieceHeight == 0) Breach("an empty piece");
    if (!p.maskDc || p.maskDc->SelectedBitmap() != p.maskBitmap) Breach("the mask is not its context's");
    CheckSize(p.maskBitmap, p.pieceWidth, p.pieceHeight, "the mask");
    if (!p.pieceUndoBitmap) Breach("the piece has no undo buffer");
    if (p.maskUndoBitmap) {
        CheckSize(p.maskUndoBitmap, p.pieceUndoBitmap->Width(), p.pieceUndoBitmap->Height(), "the mask's undo copy");
    }
    for (std::uint8_t b : Bytes(p.maskBitmap)) {
        if (b != kMaskOutside && b != kMaskInside && b != kMaskBorder) Breach("mask byte " + std::to_string(b));
    }
}

void CheckTool() {
    const int tool = PaintSettings.Tool;
    // Every tool has its row; the ids a dropped piece leaves last only while the stylus is down.
    const bool known = RowOfTool(tool) != nullptr;
    const bool dropping = tool >= kToolDroppedToRectangle && tool <= kToolDroppedToMagicWand;
    if (!known || (dropping && !CanvasState.StylusDown)) Breach("tool " + std::to_string(tool));
    if (CanvasState.PolygonCount > kPolygonRoom) Breach("polygon count " + std::to_string(CanvasState.PolygonCount));
    if (!(ImageState.ZoomFactor > 0.0f)) Breach("zoom factor not positive");
}

void CheckNothingOpen() {
    if (S().messages.open != 0) Breach("a message box is still open");
    if (S().modalDepth != 0) Breach("a dialog is still open");
}

std::size_t BufferBytes(const raster::Bitmap* bitmap) { return bitmap ? bitmap->ByteSize() : 0; }

// What the program may hold: its pictures, the piece, the clipboard, the windows' surfaces,
// all a few times over (a filter's scratch rows, a decoded file), and some room besides.
void CheckMemory(std::size_t baseline) {
    std::size_t needs = 0;
    const ImageBox& box = CurrentBox();
    needs += BufferBytes(box.workBitmap) + BufferBytes(box.undoBitmap);
    const FloatingPieceRecord& p = FloatingPiece;
    needs += BufferBytes(p.pieceBitmap) + BufferBytes(p.maskBitmap) + BufferBytes(p.pieceUndoBitmap) +
             BufferBytes(p.maskUndoBitmap);
    needs += BufferBytes(S().clipboard.HeldPixels()) + BufferBytes(S().clipboard.HeldMask());
    for (platform::HeadlessWindow* w : S().system->LiveWindows()) needs += BufferBytes(w->GetDC().SelectedBitmap());
    needs += HistoryMemory();
    const std::size_t allowed = baseline + 4 * needs + (8u << 20);
    const std::size_t used = __sanitizer_get_current_allocated_bytes();
    if (used > allowed) {
        Breach("the heap holds " + std::to_string(used) + " bytes, more than " + std::to_string(allowed) +
               " for pictures of " + std::to_string(needs));
    }
}

struct UndoView {
    std::vector<std::uint8_t> work, undo, piece, mask;
    int width, height, tool;
    std::int32_t pieceX, pieceY;
    std::uint32_t pieceWidth, pieceHeight, undoKind;
    bool operator==(const UndoView&) const = default;
};

UndoView ViewForUndo() {
    const ImageBox& box = CurrentBox();
    UndoView v{Bytes(box.workBitmap), Bytes(box.undoBitmap), Bytes(FloatingPiece.pieceBitmap),
               Bytes(FloatingPiece.maskBitmap), box.width, box.height, PaintSettings.Tool, FloatingPiece.pieceX,
               FloatingPiece.pieceY, FloatingPiece.pieceWidth, FloatingPiece.pieceHeight, ImageState.UndoKind};
    return v;
}

// Undo exchanges the picture (or the piece) with its copy, so that a second Undo redoes;
// except where it removes a polygon's vertex, puts a dragged piece back or floats a put-down one.
bool UndoExchanges() {
    if (CanvasState.StylusDown || ImageState.CurrentImage == 0) return false;
    const std::uint32_t kind = ImageState.UndoKind;
    const int tool = PaintSettings.Tool;
    if (kind >= 12 && kind <= 15 && CanvasState.PolygonCount > 0) return false;
    if (kind == kUndoKindPiece) return true;
    if (tool == kToolFloatingPiece) return false;
    if (!PieceOnCanvas() && PieceExists() && ImageState.UndoUnderPiece) return false;  // floats the piece again
    return true;
}

void CheckDoubleUndo() {
    if (!UndoExchanges()) return;
    const UndoView before = ViewForUndo();
    const std::int32_t scrollX = CurrentBox().scrollX, scrollY = CurrentBox().scrollY;
    DispatchCommand(CMD_UNDO);
    DispatchCommand(CMD_UNDO);
    const UndoView after = ViewForUndo();
    if (!(after == before)) {
        std::string what;
        if (after.work != before.work) what += " picture";
        if (after.undo != before.undo) what += " undo-copy";
        if (after.width != before.width || after.height != before.height) what += " size";
        if (after.piece != before.piece || after.mask != before.mask) what += " piece";
        if (after.pieceX != before.pieceX || after.pieceY != before.pieceY) what += " piece-place";
        if (after.tool != before.tool) what += " tool";
        if (after.undoKind != before.undoKind) what += " undo-kind";
        Breach("two Undos changed the" + what);
    }
    // An undone resize of the picture may have scrolled the view on the way; put it back so
    // that the check does not steer what follows.
    if (CurrentBox().scrollX != scrollX || CurrentBox().scrollY != scrollY) {
        CurrentBox().scrollX = scrollX;
        CurrentBox().scrollY = scrollY;
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    }
}

// The document as the history keeps it: the picture and its size, the held piece with its
// mask and places, whether it floats, and the modified flag.
struct DocumentView {
    std::vector<std::uint8_t> work, piece, mask;
    int width, height;
    bool held, floats;
    std::int32_t pieceX, pieceY, savedPieceX, savedPieceY;
    bool operator==(const DocumentView&) const = default;
};

DocumentView ViewForHistory() {
    const ImageBox& box = CurrentBox();
    const FloatingPieceRecord& p = FloatingPiece;
    const bool held = p.pieceBitmap && p.maskBitmap;
    DocumentView v{Bytes(box.workBitmap), Bytes(p.pieceBitmap), Bytes(p.maskBitmap), box.width, box.height, held,
                   held && PieceOnCanvas(), 0, 0, 0, 0};
    if (held) {
        v.pieceX = p.pieceX;
        v.pieceY = p.pieceY;
        v.savedPieceX = p.savedPieceX;
        v.savedPieceY = p.savedPieceY;
    }
    return v;
}

// Step Backward then Step Forward gives back the document shown, and a document as saved
// stays unmodified. The undo level, the tool, the flags and the view the steps set are put
// back afterwards, so that the check does not steer what follows. Not in the middle of a
// stroke or a polygon, and not while a change waits to be recorded: Step Backward would
// record it, and the history would differ from the stream's.
std::size_t g_historyChecks = 0;

void CheckStepBackAndForth() {
    if (CanvasState.StylusDown || CanvasState.PolygonCount > 0 || HistoryChangePending() || !CanStepBackward()) return;
    ++g_historyChecks;
    const DocumentView before = ViewForHistory();
    const std::size_t index = HistoryCurrentIndex();
    const std::size_t states = HistoryStateCount();
    ImageBox& box = CurrentBox();
    FloatingPieceRecord& p = FloatingPiece;
    // The steps re-make the undo copies: the stream's own are kept aside meanwhile.
    std::unique_ptr<raster::DrawingContext> undoDc = std::move(box.undoDc);
    std::unique_ptr<raster::DrawingContext> pieceUndoDc = std::move(p.pieceUndoDc);
    std::unique_ptr<raster::DrawingContext> maskUndoDc = std::move(p.maskUndoDc);
    PixelBuffer* const undoBitmap = std::exchange(box.undoBitmap, nullptr);
    PixelBuffer* const pieceUndoBitmap = std::exchange(p.pieceUndoBitmap, nullptr);
    PixelBuffer* const maskUndoBitmap = std::exchange(p.maskUndoBitmap, nullptr);
    const ImageStateRecord image = ImageState;
    const std::int8_t tool = PaintSettings.Tool, group = PaintSettings.Group;
    const std::int32_t scrollX = box.scrollX, scrollY = box.scrollY;

    DispatchCommand(CMD_STEP_BACKWARD);
    if (HistoryCurrentIndex() + 1 != index) Breach("Step Backward did not step back");
    DispatchCommand(CMD_STEP_FORWARD);
    const DocumentView after = ViewForHistory();
    if (HistoryCurrentIndex() != index || HistoryStateCount() != states) Breach("Step Forward did not come back");
    if (!(after == before)) {
        std::string what;
        if (after.work != before.work) what += " picture";
        if (after.width != before.width || after.height != before.height) what += " size";
        if (after.held != before.held) what += " piece-held";
        if (after.piece != before.piece || after.mask != before.mask) what += " piece";
        if (after.pieceX != before.pieceX || after.pieceY != before.pieceY) what += " piece-place";
        if (after.savedPieceX != before.savedPieceX || after.savedPieceY != before.savedPieceY) what += " saved-place";
        if (after.floats != before.floats) what += " floating";
        Breach("Step Backward and Step Forward changed the" + what);
    }
    if (image.ImageModified == 0 && ImageState.ImageModified != 0) Breach("stepping marked a saved document modified");

    CurrentBox().undoDc = std::move(undoDc);
    CurrentBox().undoBitmap = undoBitmap;
    p.pieceUndoDc = std::move(pieceUndoDc);
    p.pieceUndoBitmap = pieceUndoBitmap;
    p.maskUndoDc = std::move(maskUndoDc);
    p.maskUndoBitmap = maskUndoBitmap;
    ImageState = image;
    PaintSettings.Tool = tool;
    PaintSettings.Group = group;
    if (CurrentBox().scrollX != scrollX || CurrentBox().scrollY != scrollY) {
        CurrentBox().scrollX = scrollX;
        CurrentBox().scrollY = scrollY;
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    }
}

std::uint64_t Hash(const std::vector<std::uint8_t>& bytes, int width) {
    std::uint64_t h = 1469598103934665603ull ^ static_cast<std::uint64_t>(width);
    for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
    return h;
}

std::uint64_t g_lastRoundTrip = 0;
int g_sinceRoundTrip = 0;

// What Save writes, opened again, is the picture as shown, pixel for pixel.
void CheckRoundTrip() {
    std::unique_ptr<PixelBuffer> merged;
    const PixelBuffer* shown = PictureAsShown(merged);
    if (!shown) Breach("no picture as shown");
    const std::vector<std::uint8_t> pixels = Bytes(shown);
    const std::uint64_t hash = Hash(pixels, shown->Width());
    if (hash == g_lastRoundTrip || ++g_sinceRoundTrip < kRoundTripEvery) return;
    g_sinceRoundTrip = 0;
    g_lastRoundTrip = hash;
    const std::string path = g_folder + "/roundtrip.png";
    if (WritePng(shown, path) != 1) Breach("the PNG writer failed");
    platform::DecodedImage decoded = ReadImageFile(path);
    if (!decoded.image) Breach("the saved PNG did not open: " + decoded.text);
    if (decoded.image->Width() != shown->Width() || decoded.image->Height() != shown->Height() ||
        Bytes(decoded.image.get()) != pixels) {
        Breach("the saved PNG opens as a different picture");
    }
}

void CheckAll(std::size_t baseline) {
    CheckNothingOpen();
    CheckSlots();
    CheckPiece();
    CheckTool();
    CheckMemory(baseline);
    CheckDoubleUndo();
    CheckStepBackAndForth();
    CheckRoundTrip();
}

// How many actions ran, and in how long, told when the process ends.
long g_actions = 0;
double g_seconds = 0.0;

void TellRate() {
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
    if (g_seconds <= 0.0) return;
    // A long run in forked jobs loses each job's standard error: the counts go to a file too.
    if (const char* tally = std::getenv("PW_FUZZ_TALLY")) {
        if (std::FILE* out = std::fopen(tally, "a")) {
            std::fprintf(out, "%ld %.3f %zu\n", g_actions, g_seconds, g_historyChecks);
            std::fclose(out);
        }
    }
    std::fprintf(stderr,
                 "pw-fuzz-actions: %ld actions in %.1f s of inputs, %.0f actions a second, %zu steps back and forth "
                 "checked\n",
                 g_actions, g_seconds, g_actions / g_seconds, g_historyChecks);
}

void MakeFolder() {
    if (!g_folder.empty()) return;
    std::atexit(TellRate);
    g_folder = std::filesystem::temp_directory_path().string() + "/pw-fuzz-actions-" + std::to_string(getpid());
    std::filesystem::create_directories(g_folder + "/bin");
    std::filesystem::create_directories(g_folder + "/folder");
    std::ofstream(g_folder + "/broken.png") << "\x89PNG\r\n\x1a\n broken";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MakeFolder();
    const auto started = std::chrono::steady_clock::now();
    Input input(data, size);
    g_input = &input;
    Session session;
    g_session = &session;
    platform::SetMessageBoxService(&session.messages);
    platform::SetFileDialogService(&session.files);
    platform::SetSettingsStore(&session.settings);
    platform::SetClipboardService(&session.clipboard);
    platform::SetFontService(&session.fonts);
    platform::SetFilterMessagePump(PumpEvents);
    FileDialogs::ForgetSavedFiles();
    g_lastRoundTrip = 0;
    g_sinceRoundTrip = kRoundTripEvery;

    Start();
    NewPicture(In().Byte() % kLargestSide + 1, In().Byte() % kLargestSide + 1);
    S().system->ForgetDestroyedWindows();
    const std::size_t baseline = __sanitizer_get_current_allocated_bytes();
    static const bool trace = std::getenv("PW_FUZZ_TRACE") != nullptr;
    for (int n = 0; n < kLongestRun && !input.Empty(); ++n) {
        const auto action = static_cast<Action>(input.Byte() % kActionCount);
        Act(action);
        ++g_actions;
        if (trace) {
            std::fprintf(stderr, "action %d: %d, tool %d, undo kind %u, piece %d\n", n, action, PaintSettings.Tool,
                         ImageState.UndoKind, PieceExists() ? 1 : 0);
        }
        if (!ShellState.MainWindow || !IsLive(ShellState.MainWindow)) break;  // Exit: the program has ended
        S().system->ForgetDestroyedWindows();
        CheckAll(baseline);
        if (static_cast<long>(CurrentBox().width) * CurrentBox().height > kLargestArea) break;
    }

    Stop();
    platform::SetFilterMessagePump({});
    platform::SetFontService(nullptr);
    platform::SetClipboardService(nullptr);
    platform::SetSettingsStore(nullptr);
    platform::SetFileDialogService(nullptr);
    platform::SetMessageBoxService(nullptr);
    g_session = nullptr;
    g_input = nullptr;
    g_seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return 0;
}
