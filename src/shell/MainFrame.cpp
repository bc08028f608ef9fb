#include "shell/MainFrame.h"

#include "files/OpenSave.h"
#include "files/RecoveryCopies.h"
#include "filters/FilterEngine.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "platform/Busy.h"
#include "platform/CommandBar.h"
#include "platform/Fonts.h"
#include "platform/FullScreen.h"
#include "platform/ImageDecoder.h"
#include "platform/Settings.h"
#include "panels/TextToolDialog.h"
#include "panels/ToolBar.h"
#include "platform/Window.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "shell/ProgramState.h"
#include "shell/Recovery.h"
#include "shell/Shortcuts.h"
#include "shell/StatusLine.h"
#include "shell/SettingsPersistence.h"
#include "tools/ToolGroups.h"

ShellStateRecord ShellState;

namespace {

constexpr raster::Colour kFrameColour = raster::MakeColour(0x60, 0x60, 0x60);
constexpr int kFirstImageWidth = 240;
constexpr int kFirstImageHeight = 228;

raster::Rect At(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

void MoveAndShow(platform::Window* window, const raster::Rect& r) {
    if (!window) return;
    window->Move(r.left, r.top, r.Width(), r.Height(), true);
    window->Show(true);
}

void MeasureCommandBar() {
    if (platform::CommandBar* bar = platform::GetCommandBar()) ShellState.CommandBarHeight = bar->Height();
}

class MainHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        switch (message.kind) {
            case platform::MessageKind::KeyDown:
                if (message.id != platform::kKeyEscape) return 0;
                EscapeKey();
                UpdateBar();
                return 1;
            case platform::MessageKind::Paint: {
                raster::FillRect(window.GetDC(), window.ClientRect(), kFrameColour);
                return 1;
            }
            case platform::MessageKind::Command: {
                const platform::BusyPointer busy;
                OnCommand(message.id);
                return 1;
            }
            case platform::MessageKind::Size: OnSize(); return 1;
            case platform::MessageKind::Timer:
                if (message.id != kTimerRecovery) return 0;
                RecoveryTimerTick();
                return 1;
            case platform::MessageKind::Close: ExitProgram(); return 1;
            case platform::MessageKind::FileDrop: {
                const platform::BusyPointer busy;
                OpenDroppedFile(message.text);
                UpdateBar();
                return 1;
            }
            default: return 0;
        }
    }

private:
    static void OnCommand(int id) {
        if (id >= kFirstCommand && id <= kLastCommand) {
            DispatchCommand(id);
        } else if (id == CMD_FRAME_FLAG) {
            ShellState.FrameFlag = ShellState.FrameFlag ? 0 : 1;
        } else if (id == CMD_PLATFORM_OK) {
            ExitProgram();
            return;
        }
        UpdateBar();
    }

    static void UpdateBar() {
        if (platform::CommandBar* bar = platform::GetCommandBar()) {
            bar->UpdateAll();
            UpdateButtonToolTips(*bar);
        }
    }

    static void OnSize() {
        MeasureCommandBar();
        ShellState.HighResolution =
            HighResolutionFor(platform::ScreenWidth(), platform::ScreenHeight(), platform::LogicalDpiX());
        if (ShellState.LayoutBusy) return;
        ApplyFullScreen();
        if (!ShellState.LayoutBusy) LayoutBars();
    }
};

}  // namespace

void EscapeKey() {
    if (ClosePopupsUnchanged()) return;
    if (ShortcutCommand(CMD_DESELECT) == CMD_DESELECT) DispatchCommand(CMD_DESELECT);
}

void ResetShellState() { ShellState = ShellStateRecord{}; }

int ColourBarThickness() { return ShellState.StandardColoursMode == 1 ? 13 : 21; }

bool ColourBarBesideCanvas() {
    return ShellState.ColourBarWindow != nullptr &&
           (ShellState.ColourBarPosition == kColourBarLeft || ShellState.ColourBarPosition == kColourBarRight);
}

BarLayout ComputeBarLayout(const BarLayoutInput& in) {
    const int L = in.highResolution ? 1 : 0;
    const int F = in.fullScreen ? 1 : 0;
    const int T = in.frameTop;
    const int B = in.commandBarHeight;
    const int t = in.colourBarThickness;
    const int cx = in.screenWidth;
    const int cy = in.screenHeight;
    BarLayout out;
    int x = -1 - L;
    int y = 0;
    int width = cx + 2 * (L + 1);
    int h = cy - (1 - F) * T - B + L + 1;
    int s = h;
    if (in.colourBarShown) {
        int yb;
        if (in.toolBarShown) {
            yb = cy - (1 - F) * T - B - t - 21;
            if (cx < 260) s = h - 22;
        } else {
            yb = cy - (1 - F) * T - B - t + 1;
        }
        switch (in.colourBarPosition) {
            case kColourBarTop:
                out.colourBar = At(-1, -1, cx + 2, t);
                y = t - 2;
                h = h - t + 2;
                break;
            case kColourBarLeft:
                out.colourBar = At(-1, 0, t, s);
                x = x + t - 1;
                width = width - t + 1;
                break;
            case kColourBarRight:
                out.colourBar = At(cx - t + 1, 0, t, s);
                width = width - t + 1;
                break;
            case kColourBarBottom:
                out.colourBar = At(-1, yb, cx + 2, t);
                h = h - t + 1;
                break;
            default: break;
        }
    }
    if (in.toolBarShown) {
        int tx = -1;
        int tw = cx + 2;
        if (s == h && in.colourBarShown) {
            if (in.colourBarPosition == kColourBarLeft) tx = t - 2;
            if (in.colourBarPosition == kColourBarRight) tw = cx - t + 3;
        }
        out.toolBar = At(tx, cy - (1 - F) * T - B - 22, tw, 23);
        h = h - 22;
    }
    out.canvas = At(x, y, width, h);
    return out;
}

std::uint32_t HighResolutionFor(int screenWidth, int screenHeight, int logicalDpi) {
    return (screenWidth > 320 || screenHeight > 320 || logicalDpi > 100) ? 1 : 0;
}

std::string ProgramFolderOf(const std::string& programPath) {
    std::size_t slash = programPath.rfind('/');
    if (slash == std::string::npos) return "/";
    return programPath.substr(0, slash);
}

platform::WindowHandler* MainWindowProcedure() {
    static MainHandler handler;
    return &handler;
}

void InitMainState() {
    InstallLayerHooks();
    InitSineTable();
    platform::FontSpec bold;
    bold.height = 14;
    bold.weight = 700;
    ShellState.BoldFont = platform::MakeFont(bold);
    ShellState.ProgramFolder = ProgramFolderOf(ShellState.ProgramPath);
    UpdateWindowTitle();
    if (platform::CommandBar* bar = platform::GetCommandBar()) {
        const platform::DecodedImage strip =
            platform::DecodeImageResource(kCommandBarImagesResource, PaintSettings.BColor);
        if (strip.image) bar->SetButtonImages(*strip.image, kButtonImageSize);
        BuildMenus(*bar);
        bar->SetUpdateProcedure(UpdateCommandUI);
        InstallShortcuts(*bar);
    }
    if (platform::LogicalDpiX() > 100) ShellState.HighResolution = 1;
    FillToolGroups();
    UpdateRecentFiles();
    LoadSettings();
    if (CreateImage(kFirstImageWidth, kFirstImageHeight)) SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
}

std::string WindowTitleText(const std::string& path, bool modified) {
    const std::string name = path.empty() ? "untitled" : FileNameOf(path);
    return (modified ? "*" : "") + name + " - Pixelwright";
}

void UpdateWindowTitle() {
    if (!ShellState.MainWindow) return;
    const std::string title = WindowTitleText(ImageState.CurrentPath, ImageState.ImageModified != 0);
    if (ShellState.MainWindow->Title() != title) ShellState.MainWindow->SetTitle(title);
}

int StartApplication(const std::string& programPath) {
    ShellState.ProgramPath = programPath;
    ShellState.MainWindow = platform::Windows().CreateMainWindow(MainWindowProcedure());
    if (!ShellState.MainWindow) return 0;
    // Every change of the document's name or state shows in the title once the message
    // that made it has been handled, the status bar catches up, and a change starts the wait
    // for its recovery copy.
    platform::SetIdleProcedure([] {
        UpdateWindowTitle();
        UpdateStatusBar();
        RecoveryIdle();
    });
    ShellState.FrameFlag = 1;
    platform::CreateCommandBar();
    ShellState.HighResolution = HighResolutionFor(platform::ScreenWidth(), platform::ScreenHeight(), 0);
    ShellState.FrameTop = ShellState.MainWindow->WindowRect().top;
    MeasureCommandBar();
    InitMainState();
    std::uint32_t titlebar = 1;
    if (platform::Settings().ReadNumber("Titlebar", titlebar) && titlebar == 0) {
        ShellState.FullScreen = 1;
        ApplyFullScreen();
        LayoutBars();
    }
    ShellState.MainWindow->Show(true);
    ShellState.MainWindow->Invalidate();
    ShellState.MainWindow->Update();
    return 1;
}

void ApplyFullScreen() {
    ShellState.LayoutBusy = 1;
    const int cx = platform::ScreenWidth();
    const int cy = platform::ScreenHeight();
    if (!CurrentBox().workDc || !ShellState.MainWindow) {
        ShellState.LayoutBusy = 0;
        return;
    }
    if (ShellState.FullScreen == 0) {
        platform::SetFullScreen(false);
        ShellState.MainWindow->Move(0, ShellState.FrameTop, cx, cy - ShellState.CommandBarHeight - ShellState.FrameTop,
                                    true);
    } else {
        platform::SetFullScreen(true);
        ShellState.MainWindow->Move(0, 0, cx, cy, true);
    }
    ShellState.LayoutBusy = 0;
}

void LayoutBars() {
    ShellState.LayoutBusy = 1;
    BarLayoutInput in;
    in.screenWidth = platform::ScreenWidth();
    in.screenHeight = platform::ScreenHeight();
    in.highResolution = static_cast<int>(ShellState.HighResolution);
    in.fullScreen = static_cast<int>(ShellState.FullScreen);
    in.frameTop = ShellState.FrameTop;
    in.commandBarHeight = ShellState.CommandBarHeight;
    in.colourBarShown = ShellState.ColourBarWindow != nullptr;
    in.colourBarThickness = ColourBarThickness();
    in.colourBarPosition = ShellState.ColourBarPosition;
    in.toolBarShown = ShellState.ToolBarWindow != nullptr;
    const BarLayout layout = ComputeBarLayout(in);
    if (in.colourBarShown && !layout.colourBar.IsEmpty()) MoveAndShow(ShellState.ColourBarWindow, layout.colourBar);
    if (in.toolBarShown) MoveAndShow(ShellState.ToolBarWindow, layout.toolBar);
    MoveAndShow(CurrentBox().window, layout.canvas);
    ShellState.LayoutBusy = 0;
}

void ShowOpenedDocument() {
    RepaintView(true);
    LayoutBars();
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
}

int ExitProgram() {
    if (!SaveSettings()) return 0;
    // Saved, or thrown away on purpose: nothing is left to recover.
    StopRecovery();
    if (ShellState.MainWindow) platform::DestroyWindow(ShellState.MainWindow);
    ShellState.MainWindow = nullptr;
    platform::Windows().Quit();
    return 1;
}
