#include "panels/ToolBar.h"

#include <algorithm>

#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"
#include "panels/BrushPicker.h"
#include "panels/ColourBar.h"
#include "panels/ColourTable.h"
#include "panels/DialogBuilder.h"
#include "panels/Palettes.h"
#include "panels/PanelState.h"
#include "tools/ToolGroups.h"
#include "tools/HistorySteps.h"
#include "panels/ToolOptions.h"
#include "platform/Fonts.h"
#include "platform/MessageBox.h"
#include "platform/TapAndHold.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/FloatingPieceTool.h"
#include "tools/Shapes.h"
#include "tools/ToolHandler.h"
#include "tools/ToolChoice.h"
#include "image/ToolIds.h"

namespace {

constexpr raster::Colour kFrameGrey = raster::MakeColour(64, 64, 64);
constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr int kSwatchTile = 10;
constexpr int kSwatchTileSide = 18;
constexpr int kFlyoutNameLeft = 24;
constexpr int kFlyoutSelectMessage = 6646;

const raster::Font* NameFont() {
    static std::unique_ptr<raster::Font> font = platform::MakeFont(platform::FontSpec{});
    return font.get();
}

constexpr int kStripMessageTimer = 1;

// A strip that cannot be decoded is said once, after the paint that found it: a message box
// inside every paint would come back with each repaint it causes.
std::unique_ptr<raster::DrawingContext> LoadStrip() {
    auto strip = LoadResourceImage(kResourceToolStrip);
    if (!strip && !PanelState.ToolStripReported && ShellState.ToolBarWindow) {
        PanelState.ToolStripReported = true;
        ShellState.ToolBarWindow->SetTimer(kStripMessageTimer, 1);
    }
    return strip;
}

int CurrentGroup() { return PaintSettings.Group; }

// What a tap on the swatch (bar point x, y) does first: which colour the popup sets, or
// swapping, or resetting.
enum class SwatchZone { Background, Swap, Reset, Foreground, None };

SwatchZone SwatchZoneAt(int x, int y) {
    const int xs = x - 160;
    if ((xs >= 13 && y >= 7) || (xs >= 9 && y >= 12)) return SwatchZone::Background;
    if (xs >= 14 && y >= 1 && y < 7) return SwatchZone::Swap;
    if (xs < 8 && y > 11) return SwatchZone::Reset;
    if (xs > 4 && y < 11) return SwatchZone::Foreground;
    return SwatchZone::None;
}

const char* SwatchZoneName(SwatchZone zone) {
    switch (zone) {
        case SwatchZone::Background: return "Background Color";
        case SwatchZone::Swap: return "Swap colours";
        case SwatchZone::Reset: return "Reset colours";
        case SwatchZone::Foreground: return "Foreground Color";
        case SwatchZone::None: break;
    }
    return "";
}

// The largest band of the swatch button around (x, y) that lies wholly in the point's zone:
// the tip goes once the pointer leaves it, so the next zone can say its own.
raster::Rect SwatchZoneArea(int x, int y) {
    const int left = kButtonPitch * kSwatchButton;
    const int right = left + kButtonPitch;
    constexpr int kBottom = 23;
    const SwatchZone zone = SwatchZoneAt(x, y);
    int x0 = x;
    int x1 = x + 1;
    while (x0 > left && SwatchZoneAt(x0 - 1, y) == zone) --x0;
    while (x1 < right && SwatchZoneAt(x1, y) == zone) ++x1;
    const auto rowInZone = [&](int row) {
        for (int px = x0; px < x1; ++px) {
            if (SwatchZoneAt(px, row) != zone) return false;
        }
        return true;
    };
    int y0 = y;
    int y1 = y + 1;
    while (y0 > 0 && rowInZone(y0 - 1)) --y0;
    while (y1 < kBottom && rowInZone(y1)) ++y1;
    return {x0, y0, x1, y1};
}

void SwatchTap(int x, int y) {
    switch (SwatchZoneAt(x, y)) {
        case SwatchZone::Background:
            PanelState.PickTarget = kPickBackground;
            OpenColourPopup();
            break;
        case SwatchZone::Swap: std::swap(PaintSettings.FColor, PaintSettings.BColor); break;
        case SwatchZone::Reset:
            PaintSettings.FColor = 0x000000;
            PaintSettings.BColor = 0xFFFFFF;
            break;
        case SwatchZone::Foreground:
            PanelState.PickTarget = kPickForeground;
            OpenColourPopup();
            break;
        case SwatchZone::None: break;
    }
    RedrawSwatch();
    ToolColoursChanged(ColourChange::Swatch);
}

void TransparencyTap() {
    GroupCurrent(kTransparencyButton) ^= 1;
    PaintSettings.Trans ^= 1u;
    RepaintToolBar();
    ToolColoursChanged(ColourChange::Transparency);
}

// A second tap on the selection button while a piece floats drops it and takes up the
// group's selection tool again.
void DropPieceForSelection() {
    PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
    DropFloatingPiece();
    if (CanvasState.SelectModifier != 0) {
        TakeImageUndo();
        RepaintWholeView();
    }
    CanvasState.PolygonCount = 0;
    RecordToolChoice(kToolFloatingPiece);
}

void ChooseGroup(int b) {
    CanvasState.PreviousGroup = PaintSettings.Group;
    PaintSettings.Group = static_cast<std::int8_t>(b);
    RepaintToolBar();
    CloseOpenPolygon();
    ApplyGroupTool();
}

class ToolBarHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        switch (message.kind) {
            case platform::MessageKind::Paint: {
                const raster::Rect client = window.ClientRect();
                PaintToolBar(window.GetDC(), client.Width(), client.Height());
                return 1;
            }
            case platform::MessageKind::Timer:
                if (message.id != kStripMessageTimer) return 0;
                window.KillTimer(kStripMessageTimer);
                platform::ShowMessageBox("jjjj", "error hbitmap", platform::MessageButtons::Ok,
                                         platform::MessageIcon::None);
                return 1;
            case platform::MessageKind::StylusDown:
                held_ = platform::RecognizeTapAndHold(window, message.x, message.y) == platform::kGestureContextMenu;
                if (held_) ToolBarHold(message.x, message.y);
                return 1;
            case platform::MessageKind::StylusUp: {
                // The lift that ends a held press belongs to the press.
                if (held_) {
                    held_ = false;
                    return 1;
                }
                // A press carried off the bar before the lift taps nothing.
                const raster::Rect client = window.ClientRect();
                if (message.y < client.top || message.y >= client.bottom || message.x >= client.right) return 1;
                ToolBarTap(message.x, message.y);
                return 1;
            }
            default: return 0;
        }
    }
    platform::ToolTip ToolTipAt(platform::Window&, int x, int y) override { return ToolBarToolTip(x, y); }

private:
    bool held_ = false;
};

class FlyoutHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        const int group = PanelState.FlyoutGroup;
        const ToolGroup& record = ToolGroups[group];
        switch (message.kind) {
            case platform::MessageKind::InitDialog: return 1;
            case platform::MessageKind::Paint: {
                window.CaptureStylus();
                raster::DrawingContext& dc = window.GetDC();
                const raster::Rect client = window.ClientRect();
                raster::FillRect(dc, client, kButtonFace);
                auto strip = LoadStrip();
                for (int row = 0; row < record.count; ++row) DrawToolButton(dc, strip.get(), row, group, false);
                return 1;
            }
            case platform::MessageKind::StylusUp: {
                const bool onRow = message.x >= 0 && message.y >= 0 && message.x <= record.width &&
                                   message.y <= kButtonPitch * record.count - 2;
                if (onRow) {
                    Choose(group, message.y / kButtonPitch);
                } else {
                    CloseFlyout();
                    if (PaintSettings.Group == kFillStyleButton) PaintSettings.Group = CanvasState.PreviousGroup;
                }
                return 1;
            }
            case platform::MessageKind::Close: ClosePopupsUnchanged(); return 1;
            case platform::MessageKind::User:
                if (message.id != kFlyoutSelectMessage) return 0;
                Choose(group, std::clamp(message.y / kButtonPitch, 0, record.count - 1));
                return 1;
            default: return 0;
        }
    }
    platform::ToolTip ToolTipAt(platform::Window&, int x, int y) override {
        return FlyoutToolTip(PanelState.FlyoutGroup, x, y);
    }

private:
    static void Choose(int group, int row) {
        GroupCurrent(group) = static_cast<std::int16_t>(row);
        CloseFlyout();
        ApplyGroupTool();
        RepaintToolBar();
    }
};

}  // namespace

void DrawTile(raster::DrawingContext& dc, const raster::DrawingContext& strip, int x, int y, int tile) {
    raster::TransparentBlt(dc, x, y, kTileSide, kTileSide, strip, kTileSide * tile, 0, kTileSide, kTileSide, kStripKey);
}

void DrawToolButton(raster::DrawingContext& dc, const raster::DrawingContext* strip, int p, int group,
                    bool horizontal) {
    const ToolGroup& record = ToolGroups[group];
    const int item = horizontal ? GroupCurrent(group) : p;
    const int cellX = horizontal ? kButtonPitch * p + 1 : 1;
    const int cellY = horizontal ? 1 : kButtonPitch * p + 1;
    raster::FillRect(dc, {cellX - 1, cellY - 1, cellX + kButtonPitch - 1, cellY + kButtonPitch - 1}, kButtonFace);
    const int tile = record.image[std::clamp(item, 0, kToolGroupRoom - 1)];
    if (horizontal && group == kSwatchButton) {
        if (strip) {
            raster::TransparentBlt(dc, cellX + 3, cellY, kSwatchTileSide, kSwatchTileSide, *strip, kTileSide * kSwatchTile,
                                   0, kSwatchTileSide, kSwatchTileSide, kStripKey);
        }
        DrawColourSwatch(dc);
        return;
    }
    if (horizontal && group == kBrushButton) {
        DrawBrushIcon(dc);
        return;
    }
    const bool selected = horizontal ? group == CurrentGroup() : p == GroupCurrent(group);
    if (selected) {
        raster::Pen pen;
        pen.colour = kFrameGrey;
        dc.SetPen(pen);
        dc.SetFill({false, kWhite});
        raster::Rectangle(dc, cellX, cellY, cellX + 18, cellY + 18);
    }
    if (strip) DrawTile(dc, *strip, cellX + 1, cellY + 1, tile);
    if (!horizontal) {
        if (record.name[p] && NameFont()) {
            dc.SetFont(NameFont());
            dc.SetTextColour(0x000000);
            platform::DrawTextInRect(dc, {kFlyoutNameLeft, kButtonPitch * p + 3, record.width, kButtonPitch * p + 21},
                                     record.name[p], platform::TextAlign::Left, kButtonFace);
            dc.SetFont(nullptr);
        }
        return;
    }
    if (record.count > 1 && group != kZoomButton && group != kTransparencyButton && strip) {
        DrawTile(dc, *strip, kButtonPitch * p + 2, 2, 0);
    }
}

void PaintToolBar(raster::DrawingContext& dc, int w, int h) {
    raster::FillRect(dc, {0, 0, w, h}, kButtonFace);
    auto strip = LoadStrip();
    for (int g = 0; g < kToolGroupCount && ToolGroups[g].count != 0; ++g) DrawToolButton(dc, strip.get(), g, g, true);
}

void RepaintToolBar() {
    if (ShellState.ToolBarWindow) ShellState.ToolBarWindow->Invalidate();
}

void ToggleToolBar() {
    if (ShellState.ToolBarWindow) {
        platform::DestroyWindow(ShellState.ToolBarWindow);
        ShellState.ToolBarWindow = nullptr;
    } else {
        platform::WindowStyle style;
        style.border = true;
        ShellState.ToolBarWindow = platform::CreateChildWindow(-1, 21, 23, 200, style, ToolBarProcedure());
        if (ShellState.ToolBarWindow) ShellState.ToolBarWindow->Show(true);
    }
    LayoutBarsUnlessCreating();
}

void ToolBarTap(int x, int y) {
    CloseFlyout();
    if (x < 0) return;
    const int b = x / kButtonPitch;
    const int group = CurrentGroup();
    const int tool = PaintSettings.Tool;
    if (b == kZoomButton && group == kZoomButton) {
        GroupCurrent(kZoomButton) ^= 1;
        RepaintToolBar();
        ApplyGroupTool();
    } else if (b == kSwatchButton) {
        SwatchTap(x, y);
    } else if (b == kFillStyleButton) {
        CanvasState.PreviousGroup = PaintSettings.Group;
        PaintSettings.Group = kFillStyleButton;
        OpenFlyout(kFillStyleButton);
    } else if (b == kBrushButton) {
        OpenBrushPicker();
        if (ShellState.ToolBarWindow) DrawBrushIcon(ShellState.ToolBarWindow->GetDC());
    } else if (b == kTransparencyButton) {
        TransparencyTap();
    } else if (b == 0 && tool == kToolPieceGradient) {
        PaintSettings.Tool = kToolFloatingPiece;
        PaintSettings.Group = 0;
        RepaintToolBar();
    } else if (b == 0 && group == 0 && tool == kToolFloatingPiece) {
        DropPieceForSelection();
    } else if (b == 3 && GroupCurrent(3) == 0 && PieceOnCanvas()) {
        PaintSettings.Group = 3;
        OpenFlyout(3);
    } else if (b == group && b < kToolGroupCount && ToolGroups[b].count > 1) {
        OpenFlyout(b);
    } else if (b < kToolGroupCount) {
        // Past the last button the bar is empty.
        ChooseGroup(b);
    }
}

void ToolBarHold(int x, int y) {
    if (x < 0) return;
    const int b = x / kButtonPitch;
    if (b == kSwatchButton) {
        const SwatchZone zone = SwatchZoneAt(x, y);
        if (zone == SwatchZone::Background) PanelState.PickTarget = kPickBackground;
        if (zone == SwatchZone::Foreground) PanelState.PickTarget = kPickForeground;
        const std::uint32_t foreground = PaintSettings.FColor;
        const std::uint32_t background = PaintSettings.BColor;
        RunColourTableDialog();
        RedrawSwatch();
        // A polygon or a floating piece on the canvas shows colours chosen in the table at
        // once, as it does those chosen on the swatch.
        if (PaintSettings.FColor != foreground || PaintSettings.BColor != background) ToolColoursChanged(ColourChange::Swatch);
        return;
    }
    RunToolOptions(b);
}

platform::ToolTip ToolBarToolTip(int x, int y) {
    if (x < 0 || y < 0) return {};
    const int b = x / kButtonPitch;
    if (b >= kToolGroupCount || ToolGroups[b].count == 0) return {};
    platform::ToolTip tip;
    tip.area = {kButtonPitch * b, 0, kButtonPitch * (b + 1), kButtonPitch + 3};
    if (b == kSwatchButton) {
        tip.text = SwatchZoneName(SwatchZoneAt(x, y));
        tip.area = SwatchZoneArea(x, y);
    } else if (b == kBrushButton) {
        tip.text = BrushName();
    } else {
        const int item = std::clamp<int>(GroupCurrent(b), 0, ToolGroups[b].count - 1);
        if (const char* name = ToolGroups[b].name[item]) tip.text = name;
    }
    return tip;
}

platform::ToolTip FlyoutToolTip(int group, int x, int y) {
    const ToolGroup& record = ToolGroups[group];
    if (x < 0 || y < 0 || x > record.width || y > kButtonPitch * record.count - 2) return {};
    const int row = y / kButtonPitch;
    platform::ToolTip tip;
    if (const char* name = record.name[row]) tip.text = name;
    tip.area = {0, kButtonPitch * row, record.width, kButtonPitch * (row + 1)};
    return tip;
}

raster::Rect FlyoutRect(int group, const raster::Rect& toolBar, int screenWidth) {
    const ToolGroup& record = ToolGroups[group];
    const int width = record.width;
    const int height = kButtonPitch * record.count + 3;
    int x = toolBar.left + kButtonPitch * group;
    if (x + width > screenWidth) x = screenWidth - width;
    const int y = toolBar.bottom - kButtonPitch * record.count - 3;
    return {x, y, x + width, y + height};
}

void OpenFlyout(int group) {
    CloseFlyout();
    PanelState.FlyoutGroup = group;
    platform::Window* flyout = platform::CreateModelessDialog(DialogTemplateFor(kTemplatePopup), FlyoutProcedure());
    if (!flyout) return;
    PanelState.FlyoutWindow = flyout;
    const raster::Rect bar = ShellState.ToolBarWindow ? ShellState.ToolBarWindow->WindowRect() : raster::Rect{};
    const raster::Rect r = FlyoutRect(group, bar, platform::ScreenWidth());
    flyout->Move(r.left, r.top, r.Width(), r.Height(), true);
    flyout->Show(true);
    flyout->Invalidate();
}

void CloseFlyout() {
    platform::Window* flyout = PanelState.FlyoutWindow;
    if (!flyout) return;
    PanelState.FlyoutWindow = nullptr;
    flyout->ReleaseStylus();
    platform::DestroyWindow(flyout);
}

bool ClosePopupsUnchanged() {
    bool closed = false;
    if (PanelState.FlyoutWindow) {
        CloseFlyout();
        // The fill-style flyout made its button current only while it was open.
        if (PaintSettings.Group == kFillStyleButton) PaintSettings.Group = CanvasState.PreviousGroup;
        closed = true;
    }
    closed = CloseBrushPickerUnchanged() || closed;
    bool restored = false;
    closed = CloseColourPopupUnchanged(&restored) || closed;
    if (restored) ToolColoursChanged(ColourChange::Swatch);
    return closed;
}

platform::WindowHandler* ToolBarProcedure() {
    static ToolBarHandler handler;
    return &handler;
}

platform::WindowHandler* FlyoutProcedure() {
    static FlyoutHandler handler;
    return &handler;
}
