#include "panels/BrushPicker.h"

#include <algorithm>
#include <cstdint>

#include "panels/ColourBar.h"
#include "panels/DialogBuilder.h"
#include "panels/Palettes.h"
#include "panels/PanelState.h"
#include "panels/ToolBar.h"
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
            case platform::MessageKind::Close: ClosePopupsUnchanged(); return 1;
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
    // A lift anywhere but on a cell is the user letting go elsewhere (the picker holds the
    // stylus): the brush stays as it was. Read as unsigned, a point left of the picker would
    // wrap into a far column and choose a brush.
    if (x < 1 || y < 1) return false;
    const int c = (x - 1) / kCellPitch;
    const int r = (y - 1) / kCellPitch;
    if (c > kLastColumn || r > kLastRow) return false;
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

std::vector<int> BrushSizesFor(int shape) {
    std::vector<int> sizes;
    if (shape == kShapeSpray) {
        for (int r = 1; r <= kLastRow; ++r) sizes.push_back(std::min(2 * r + 5, kLargestSize));
        return sizes;
    }
    // Only the hard round shape has the one-pixel cell; the others start at the first column.
    if (shape == 0) sizes.push_back(1);
    for (int c = 1; c <= kLastColumn; ++c) sizes.push_back(2 * c + 1);
    return sizes;
}

bool StepBrushSize(int direction) {
    const std::vector<int> sizes = BrushSizesFor(static_cast<int>(PaintSettings.Brush));
    const int size = static_cast<int>(PaintSettings.Size);
    int next = 0;
    if (direction < 0) {
        for (int s : sizes) {
            if (s < size) next = s;
        }
    } else {
        for (auto it = sizes.rbegin(); it != sizes.rend(); ++it) {
            if (*it > size) next = *it;
        }
    }
    if (next == 0) return false;
    PaintSettings.Size = static_cast<std::uint32_t>(next);
    if (ShellState.ToolBarWindow) DrawBrushIcon(ShellState.ToolBarWindow->GetDC());
    return true;
}

std::string BrushName() {
    static constexpr const char* kShapeNames[] = {"Hard Round", "Square",          "Soft Round",    "Rising Line",
                                              "Falling Line", "Horizontal Line", "Vertical Line", "Spray"};
    const std::uint32_t shape = PaintSettings.Brush;
    const char* name = shape <= kShapeSpray ? kShapeNames[shape] : "Unknown";
    return std::string(name) + " Brush, size " + std::to_string(PaintSettings.Size);
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

bool CloseBrushPickerUnchanged() {
    platform::Window* picker = PanelState.BrushPickerWindow;
    if (!picker) return false;
    PanelState.BrushPickerWindow = nullptr;
    picker->ReleaseStylus();
    platform::DestroyWindow(picker);
    return true;
}

platform::WindowHandler* BrushPickerProcedure() {
    static BrushPickerHandler handler;
    return &handler;
}
