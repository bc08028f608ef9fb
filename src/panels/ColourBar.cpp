#include "panels/ColourBar.h"

#include <algorithm>

#include "image/View.h"
#include "panels/DialogBuilder.h"
#include "panels/Palettes.h"
#include "panels/PanelState.h"
#include "panels/ToolBar.h"
#include "platform/TapAndHold.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/Menus.h"
#include "image/PaintSettings.h"
#include "tools/ToolHandler.h"

namespace {

constexpr raster::Colour kFrameGrey = raster::MakeColour(64, 64, 64);
// The division by thirty of the cell arithmetic, as the single-precision constant it is.
constexpr float kThirtieth = 0.033333335f;
constexpr int kPopupSide = 145;
constexpr int kPopupAboveBar = 144;
constexpr int kPopupRightOfBar = 163;
constexpr int kTableLast = 143;

void SelectFramePen(raster::DrawingContext& dc) {
    raster::Pen pen;
    pen.colour = kFrameGrey;
    dc.SetPen(pen);
}

float CellLength(int length) { return static_cast<float>(length) * kThirtieth; }

void PaintStandardCells(raster::DrawingContext& dc, int w, int h, bool vertical) {
    for (int i = 0; i < kStandardColourCount; ++i) {
        const raster::Rect cell = StandardCellRect(i, w, h, vertical, static_cast<int>(ShellState.HighResolution));
        dc.SetFill({false, StandardColours[i]});
        raster::Rectangle(dc, cell.left, cell.top, cell.right, cell.bottom);
    }
}

void PaintSpectrum(raster::DrawingContext& dc, int w, int h, bool vertical) {
    dc.SetFill({true, 0});
    std::unique_ptr<raster::DrawingContext> strip;
    if (vertical) {
        raster::Rectangle(dc, 1, 1, 18, h - 1);
        strip = LoadResourceImage(kResourceSpectrumDown);
        if (strip) raster::StretchBlt(dc, 1, 2, 16, h - 4, *strip, 0, 0, 16, 256);
    } else {
        raster::Rectangle(dc, 1, 1, w - 1, 18);
        strip = LoadResourceImage(kResourceSpectrumAcross);
        if (strip) raster::StretchBlt(dc, 2, 2, w - 4, 16, *strip, 0, 0, 256, 16);
    }
}

void StorePick(raster::Colour colour) {
    if (PanelState.PickTarget == kPickBackground) {
        PaintSettings.BColor = colour;
    } else {
        PaintSettings.FColor = colour;
    }
}

void PickOnBar(platform::Window& window, int x, int y) {
    const raster::Rect client = window.ClientRect();
    StorePick(ColourBarColourAt(window.GetDC(), x, y, client.Width(), client.Height()));
    RedrawSwatch();
    ToolColoursChanged(PanelState.PickTarget == kPickBackground ? ColourChange::BackgroundOnBar
                                                                : ColourChange::Foreground);
}

class ColourBarHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        const raster::Rect client = window.ClientRect();
        const int w = client.Width();
        const int h = client.Height();
        const bool vertical = ColourBarIsVertical();
        switch (message.kind) {
            case platform::MessageKind::Paint: PaintColourBar(window.GetDC(), w, h); return 1;
            case platform::MessageKind::StylusDown: {
                PanelState.ColourBarTracking = 1;
                window.CaptureStylus();
                const raster::Point p = ClampBarPoint(message.x, message.y, w, h, vertical, true);
                const bool held = platform::RecognizeTapAndHold(window, p.x, p.y) == platform::kGestureContextMenu;
                PanelState.PickTarget = held ? kPickBackground : kPickForeground;
                PickOnBar(window, p.x, p.y);
                return 1;
            }
            case platform::MessageKind::StylusMove: {
                if (PanelState.ColourBarTracking != 1) return 1;
                const raster::Point p = ClampBarPoint(message.x, message.y, w, h, vertical, false);
                PickOnBar(window, p.x, p.y);
                return 1;
            }
            case platform::MessageKind::StylusUp:
                PanelState.ColourBarTracking = 0;
                window.ReleaseStylus();
                return 1;
            default: return 0;
        }
    }
};

class ColourPopupHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        switch (message.kind) {
            case platform::MessageKind::InitDialog: return 1;
            case platform::MessageKind::Paint:
                DrawPalette(window.GetDC(), 0, 0);
                window.CaptureStylus();
                return 1;
            case platform::MessageKind::StylusDown:
                PanelState.PopupTracking = 1;
                Pick(window, message.x, message.y);
                return 1;
            case platform::MessageKind::StylusMove:
                if (PanelState.PopupTracking == 1) Pick(window, message.x, message.y);
                return 1;
            case platform::MessageKind::StylusUp:
                PanelState.PopupTracking = 0;
                window.ReleaseStylus();
                PanelState.ColourPopupWindow = nullptr;
                platform::DestroyWindow(&window);
                return 1;
            case platform::MessageKind::Close: ClosePopupsUnchanged(); return 1;
            default: return 0;
        }
    }

private:
    static void Pick(platform::Window& window, int x, int y) {
        if (x < 0 || y < 0 || x > kTableLast || y > kTableLast) return;
        const raster::Colour colour = PaintSettings.Palette == kPaletteSpectrum
                                          ? raster::GetPixel(window.GetDC(), x, y)
                                          : PaletteColour(PaintSettings.Palette, PaletteEntryAt(x, y));
        const bool background = PanelState.PickTarget == kPickBackground;
        std::uint32_t& target = background ? PaintSettings.BColor : PaintSettings.FColor;
        const bool changed = colour != target;
        target = colour;
        if (changed) ToolColoursChanged(background ? ColourChange::BackgroundInPopup : ColourChange::Foreground);
        RedrawSwatch();
    }
};

}  // namespace

bool ColourBarIsVertical() {
    return ShellState.ColourBarPosition == kColourBarLeft || ShellState.ColourBarPosition == kColourBarRight;
}

void LayoutBarsUnlessCreating() {
    if (ShellState.MainWindow && ShellState.MainWindow->IsVisible()) LayoutBars();
}

void ToggleColourBar() {
    if (ShellState.ColourBarWindow) {
        platform::DestroyWindow(ShellState.ColourBarWindow);
        ShellState.ColourBarWindow = nullptr;
    } else {
        platform::WindowStyle style;
        style.border = true;
        ShellState.ColourBarWindow = platform::CreateChildWindow(-1, 0, 242, 23, style, ColourBarProcedure());
        if (ShellState.ColourBarWindow) ShellState.ColourBarWindow->Show(true);
    }
    LayoutBarsUnlessCreating();
}

void ColourBarKindCommand(int id) {
    const std::uint8_t wanted = id == CMD_STANDARD_COLORS ? 1 : 0;
    if (ShellState.ColourBarWindow && ShellState.StandardColoursMode != wanted) ToggleColourBar();
    ShellState.StandardColoursMode = wanted;
    ToggleColourBar();
}

raster::Rect StandardCellRect(int i, int w, int h, bool vertical, int highResolution) {
    const float s = CellLength(vertical ? h - highResolution - 1 : w - 1);
    const int from = static_cast<int>(static_cast<float>(i) * s + 1.0f);
    const int to = static_cast<int>(static_cast<float>(i + 1) * s + 1.0f);
    if (vertical) return {1, from, 11, to};
    return {from, 1, to, 11};
}

int StandardCellAt(int x, int y, int w, int h, bool vertical, int highResolution) {
    const float s = CellLength(vertical ? h - highResolution - 1 : w - 1);
    // A bar squeezed to nothing by a tiny window has no cells to divide by.
    if (!(s > 0.0f)) return 0;
    const int cell = static_cast<int>(static_cast<float>(vertical ? y : x) / s);
    return std::clamp(cell, 0, kStandardColourCount - 1);
}

raster::Point ClampBarPoint(int x, int y, int w, int h, bool vertical, bool down) {
    if (down) {
        if (vertical) return {std::clamp(x, 1, 17), std::clamp(y, 2, std::max(2, h - 3))};
        return {std::clamp(x, 1, std::max(1, w - 3)), std::clamp(y, 2, 18)};
    }
    // A drag is held in from the far edges only: in the spectrum a drag off the near end
    // picks black.
    if (vertical) return {std::min(x, 16), std::clamp(y, 2, std::max(2, h - 4))};
    return {std::min(x, w - 4), std::clamp(y, 2, 17)};
}

raster::Colour ColourBarColourAt(const raster::DrawingContext& dc, int x, int y, int w, int h) {
    const bool vertical = ColourBarIsVertical();
    if (ShellState.StandardColoursMode == 1) {
        const raster::Point p = ClampBarPoint(x, y, w, h, vertical, true);
        return StandardColours[StandardCellAt(p.x, p.y, w, h, vertical, static_cast<int>(ShellState.HighResolution))];
    }
    if (x < 1) return 0x000000;
    const raster::Colour shown = raster::GetPixel(dc, x, y);
    return shown == raster::kInvalidColour ? 0x000000 : shown;
}

void PaintColourBar(raster::DrawingContext& dc, int w, int h) {
    raster::FillRect(dc, {0, 0, w, h}, kButtonFace);
    SelectFramePen(dc);
    const bool vertical = ColourBarIsVertical();
    if (ShellState.StandardColoursMode == 1) {
        PaintStandardCells(dc, w, h, vertical);
    } else {
        PaintSpectrum(dc, w, h, vertical);
    }
}

platform::WindowHandler* ColourBarProcedure() {
    static ColourBarHandler handler;
    return &handler;
}

void RedrawSwatch() {
    platform::Window* bar = ShellState.ToolBarWindow;
    if (!bar) return;
    DrawColourSwatch(bar->GetDC());
}

raster::Rect ColourPopupRect(const raster::Rect& toolBar, int screenWidth) {
    int x = toolBar.left + kPopupRightOfBar;
    if (x + kPopupSide > screenWidth) x = screenWidth - kPopupSide;
    const int y = toolBar.top - kPopupAboveBar;
    return {x, y, x + kPopupSide, y + kPopupSide};
}

void OpenColourPopup() {
    if (PanelState.ColourPopupWindow) platform::DestroyWindow(PanelState.ColourPopupWindow);
    PanelState.ColourPopupWindow = nullptr;
    platform::Window* popup = platform::CreateModelessDialog(DialogTemplateFor(kTemplatePopup), ColourPopupProcedure());
    if (!popup) return;
    PanelState.ColourPopupWindow = popup;
    PanelState.PopupColoursAtOpen[0] = PaintSettings.FColor;
    PanelState.PopupColoursAtOpen[1] = PaintSettings.BColor;
    const raster::Rect bar = ShellState.ToolBarWindow ? ShellState.ToolBarWindow->WindowRect() : raster::Rect{};
    const raster::Rect r = ColourPopupRect(bar, platform::ScreenWidth());
    popup->Move(r.left, r.top, r.Width(), r.Height(), true);
    popup->Show(true);
    popup->Invalidate();
}

bool CloseColourPopupUnchanged(bool* restored) {
    *restored = false;
    platform::Window* popup = PanelState.ColourPopupWindow;
    if (!popup) return false;
    PanelState.ColourPopupWindow = nullptr;
    PanelState.PopupTracking = 0;
    popup->ReleaseStylus();
    platform::DestroyWindow(popup);
    // A drag in the popup picks as it goes: closing it unchanged puts back what it changed.
    if (PaintSettings.FColor != PanelState.PopupColoursAtOpen[0] ||
        PaintSettings.BColor != PanelState.PopupColoursAtOpen[1]) {
        PaintSettings.FColor = PanelState.PopupColoursAtOpen[0];
        PaintSettings.BColor = PanelState.PopupColoursAtOpen[1];
        RedrawSwatch();
        *restored = true;
    }
    return true;
}

platform::WindowHandler* ColourPopupProcedure() {
    static ColourPopupHandler handler;
    return &handler;
}

int PaletteEntryAt(int x, int y) {
    if (x < 0 || y < 0 || x > kTableLast || y > kTableLast) return -1;
    return (y / 9) * 16 + x / 9;
}
