#include "panels/BrushPicker.h"

#include <algorithm>
#include <cstdint>

#include "panels/ColourBar.h"
#include "panels/DialogBuilder.h"
#include "panels/Palettes.h"
#include "panels/PanelState.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "image/PaintSettings.h"

namespace {

constexpr int kCellPitch = 20;
constexpr int kCellSide = 17;
constexpr int kLastColumn = 8;
constexpr int kLastRow = 6;
constexpr int kShapeSpray = 7;
constexpr int kLargestSize = 17;
constexpr int kIconX = 202;
constexpr int kIconY = 2;
constexpr int kSheetAt = 3;

class BrushPickerHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        switch (message.kind) {
            case platform::MessageKind::InitDialog: return 1;
            case platform::MessageKind::Paint: {
                raster::DrawingContext& dc = window.GetDC();
                raster::FillRect(dc, window.ClientRect(), kButtonFace);
                if (auto sheet = LoadResourceImage(kResourceBrushSheet)) {
                    const raster::Bitmap* bitmap = sheet->SelectedBitmap();
                    raster::BitBlt(dc, kSheetAt, kSheetAt, bitmap->Width(), bitmap->Height(), *sheet, 0, 0);
                }
                const raster::Point cell = BrushSheetCell();
                raster::Pen pen;
                pen.colour = 0x000000;
                dc.SetPen(pen);
                dc.SetFill({true, 0});
                raster::Rectangle(dc, kCellPitch * cell.x + 1, kCellPitch * cell.y + 1, kCellPitch * cell.x + 22,
                                  kCellPitch * cell.y + 22);
                window.CaptureStylus();
                return 1;
            }
            case platform::MessageKind::StylusUp: {
                int shape = 0;
                int size = 0;
                if (BrushPickAt(message.x, message.y, shape, size)) {
                    PaintSettings.Brush = static_cast<std::uint32_t>(shape);
                    PaintSettings.Size = static_cast<std::uint32_t>(size);
                }
                window.ReleaseStylus();
                PanelState.BrushPickerWindow = nullptr;
                platform::DestroyWindow(&window);
                if (ShellState.ToolBarWindow) DrawBrushIcon(ShellState.ToolBarWindow->GetDC());
                return 1;
            }
            default: return 0;
        }
    }
};

}  // namespace

raster::Point BrushSheetCell() {
    const int half = static_cast<int>(PaintSettings.Size / 2);
    if (PaintSettings.Brush == kShapeSpray) return {0, std::clamp(half - 2, 0, kLastRow)};
    return {std::clamp(half, 0, kLastColumn), std::clamp(static_cast<int>(PaintSettings.Brush), 0, kLastRow)};
}

void DrawBrushIcon(raster::DrawingContext& dc) {
    raster::FillRect(dc, {kIconX, kIconY, kIconX + kCellSide, kIconY + kCellSide}, kButtonFace);
    auto sheet = LoadResourceImage(kResourceBrushSheet);
    if (!sheet) return;
    const raster::Point cell = BrushSheetCell();
    raster::TransparentBlt(dc, kIconX, kIconY, kCellSide, kCellSide, *sheet, kCellPitch * cell.x, kCellPitch * cell.y,
                           kCellSide, kCellSide, 0xFFFFFF);
}

bool BrushPickAt(int x, int y, int& shape, int& size) {
    // Points left of or above the picker come as large unsigned numbers.
    const int ux = static_cast<std::uint16_t>(x);
    const int uy = static_cast<std::uint16_t>(y);
    if (uy >= 144) return false;
    const int c = (ux - 1) / kCellPitch;
    const int r = (uy - 1) / kCellPitch;
    if (c >= 1) {
        shape = r;
        size = 2 * c + 1;
    } else if (r == 0) {
        shape = 0;
        size = 1;
    } else {
        shape = kShapeSpray;
        size = 2 * r + 5;
    }
    size = std::min(size, kLargestSize);
    return true;
}

void OpenBrushPicker() {
    if (PanelState.BrushPickerWindow) platform::DestroyWindow(PanelState.BrushPickerWindow);
    PanelState.BrushPickerWindow = nullptr;
    platform::Window* picker = platform::CreateModelessDialog(DialogTemplateFor(kTemplatePopup), BrushPickerProcedure());
    if (!picker) return;
    PanelState.BrushPickerWindow = picker;
    const int x = platform::ScreenWidth() - kBrushPickerWidth;
    const int y = platform::ScreenHeight() - ShellState.CommandBarHeight - 144;
    picker->Move(x, y, kBrushPickerWidth, kBrushPickerHeight, true);
    picker->Show(true);
    picker->Invalidate();
}

platform::WindowHandler* BrushPickerProcedure() {
    static BrushPickerHandler handler;
    return &handler;
}
