#include "panels/ColourTable.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "panels/ColourBar.h"
#include "panels/DialogBuilder.h"
#include "panels/Palettes.h"
#include "panels/PanelState.h"
#include "platform/Dialog.h"
#include "platform/raster/Draw.h"
#include "image/PaintSettings.h"

namespace {

constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kBlack = 0x000000;
constexpr int kTableAt = 4;
constexpr int kEndResult = 2;
constexpr raster::Rect kSample = {211, 43, 230, 102};

std::uint32_t& WorkingColour() { return PanelState.DialogColours[PanelState.PickTarget == kPickBackground ? 1 : 0]; }

int FieldNumber(platform::Window& dialog, int id) { return ParseDecimal(GetControlText(dialog.FindControl(id))); }

void SetField(platform::Window& dialog, int id, int value) {
    if (platform::Control* field = dialog.FindControl(id)) field->SetText(std::to_string(value));
}

void DrawSample(platform::Window& dialog) {
    raster::DrawingContext& dc = dialog.GetDC();
    raster::Pen pen;
    pen.colour = kBlack;
    dc.SetPen(pen);
    dc.SetFill({false, WorkingColour()});
    raster::Rectangle(dc, kSample.left, kSample.top, kSample.right, kSample.bottom);
}

void DrawTable(platform::Window& dialog) {
    raster::DrawingContext& dc = dialog.GetDC();
    raster::Pen pen;
    pen.colour = kBlack;
    dc.SetPen(pen);
    dc.SetFill({true, 0});
    raster::Rectangle(dc, 3, 3, 148, 148);
    DrawPalette(dc, kTableAt, kTableAt);
}

void Label(int id, int x, int y, int width, int height, const char* text) {
    if (platform::Control* label = AddControl(platform::ControlKind::Label, id, x, y, width, height, 0, text)) {
        label->SetColours(kBlack, kButtonFace);
    }
}

void Build(platform::Window& dialog) {
    using platform::ControlKind;
    PlaceBuiltDialog(dialog);
    dialog.SetBackground(kWhite);
    PanelState.DialogColours[0] = PaintSettings.FColor;
    PanelState.DialogColours[1] = PaintSettings.BColor;
    PanelState.ColourTableWriting = true;
    Label(2000, 151, 44, 13, 20, "R:");
    AddControl(ControlKind::Edit, kTableRedField, 167, 43, 40, 17, 0, "");
    AddControl(ControlKind::UpDown, kTableRedArrows, 0, 0, 0, 0, 0, "");
    Label(2003, 151, 65, 13, 20, "G:");
    AddControl(ControlKind::Edit, kTableGreenField, 167, 64, 40, 17, 0, "");
    AddControl(ControlKind::UpDown, kTableGreenArrows, 0, 0, 0, 0, 0, "");
    Label(2006, 151, 86, 13, 20, "B:");
    AddControl(ControlKind::Edit, kTableBlueField, 167, 85, 40, 17, 0, "");
    AddControl(ControlKind::UpDown, kTableBlueArrows, 0, 0, 0, 0, 0, "");
    AddControl(ControlKind::PushButton, kTableOkButton, 151, 111, 79, 17, platform::kStyleDefaultButton, "OK");
    AddControl(ControlKind::PushButton, kTableCancelButton, 151, 131, 79, 17, 0, "Cancel");
    Label(kTableListLabel, 151, 1, 79, 15, "Color Table:");
    if (platform::Control* list = AddControl(ControlKind::DropDownList, kTablePaletteList, 151, 16, 79, 110, 0, "")) {
        for (const char* name : kPaletteNames) list->AddItem(name);
        list->SetSelection(PaintSettings.Palette);
    }
    PanelState.ColourTableWriting = false;
    ShowColourFields(dialog);
}

void PickAt(platform::Window& dialog, int x, int y) {
    if (x <= 3 || x >= 146 || y <= 3 || y >= 146) return;
    WorkingColour() = PaintSettings.Palette == kPaletteSpectrum
                          ? raster::GetPixel(dialog.GetDC(), x, y)
                          : PaletteColour(PaintSettings.Palette, ((y - kTableAt) / 9) * 16 + (x - kTableAt) / 9);
    ShowColourFields(dialog);
}

int FieldOfArrows(int arrowsId) { return arrowsId - 1; }

void Arrows(platform::Window& dialog, int arrowsId, int delta) {
    const int field = FieldOfArrows(arrowsId);
    SetField(dialog, field, std::clamp(FieldNumber(dialog, field) + delta, 0, 255));
    ReadColourFields(dialog);
    ShowColourFields(dialog);
}

void PaletteChosen(platform::Window& dialog) {
    platform::Control* list = dialog.FindControl(kTablePaletteList);
    if (!list) return;
    const int chosen = list->Selection();
    if (chosen < 0 || chosen >= kPaletteCount || chosen == PaintSettings.Palette) return;
    PaintSettings.Palette = static_cast<std::int8_t>(chosen);
    DrawPalette(dialog.GetDC(), kTableAt, kTableAt);
}

class ColourTableHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& dialog, const platform::WindowMessage& message) override {
        switch (message.kind) {
            case platform::MessageKind::InitDialog: Build(dialog); return 1;
            case platform::MessageKind::Paint:
                raster::FillRect(dialog.GetDC(), dialog.ClientRect(), kWhite);
                ShowColourFields(dialog);
                DrawTable(dialog);
                return 1;
            case platform::MessageKind::StylusDown:
                dialog.CaptureStylus();
                PanelState.PaletteTracking = 1;
                PickAt(dialog, message.x, message.y);
                return 1;
            case platform::MessageKind::StylusMove:
                if (PanelState.PaletteTracking) PickAt(dialog, message.x, message.y);
                return 1;
            case platform::MessageKind::StylusUp:
                dialog.ReleaseStylus();
                PanelState.PaletteTracking = 0;
                return 1;
            case platform::MessageKind::UpDownDelta:
                if (message.id == kTableRedArrows || message.id == kTableGreenArrows || message.id == kTableBlueArrows) {
                    Arrows(dialog, message.id, message.delta);
                }
                return 1;
            case platform::MessageKind::Command: Command(dialog, message.id); return 1;
            case platform::MessageKind::Close: dialog.EndDialog(kEndResult); return 1;
            default: return 0;
        }
    }

private:
    static void Command(platform::Window& dialog, int id) {
        switch (id) {
            case kTableRedField:
            case kTableGreenField:
            case kTableBlueField:
                if (PanelState.ColourTableWriting) return;
                ReadColourFields(dialog);
                DrawSample(dialog);
                return;
            case kTablePaletteList: PaletteChosen(dialog); return;
            case kTableOkButton:
            case 1:
                PaintSettings.FColor = PanelState.DialogColours[0];
                PaintSettings.BColor = PanelState.DialogColours[1];
                dialog.EndDialog(kEndResult);
                return;
            case kTableCancelButton:
            case 2: dialog.EndDialog(kEndResult); return;
            default: return;
        }
    }
};

}  // namespace

void ShowColourFields(platform::Window& dialog) {
    const std::uint32_t colour = WorkingColour();
    PanelState.ColourTableWriting = true;
    SetField(dialog, kTableRedField, static_cast<int>(colour & 0xFF));
    SetField(dialog, kTableGreenField, static_cast<int>((colour >> 8) & 0xFF));
    SetField(dialog, kTableBlueField, static_cast<int>((colour >> 16) & 0xFF));
    PanelState.ColourTableWriting = false;
    DrawSample(dialog);
}

void ReadColourFields(platform::Window& dialog) {
    if (GetControlText(dialog.FindControl(kTableRedField)).empty()) return;
    const auto channel = [&dialog](int id) { return static_cast<std::uint32_t>(FieldNumber(dialog, id)) & 0xFFu; };
    WorkingColour() = channel(kTableRedField) | channel(kTableGreenField) << 8 | channel(kTableBlueField) << 16;
}

void RunColourTableDialog() {
    const char* title = PanelState.PickTarget == kPickBackground ? "Background Color" : "Foreground Color";
    RunBuiltDialog(title, kColourTableWidth, kColourTableHeight, kTemplatePopup, ColourTableProcedure());
}

platform::WindowHandler* ColourTableProcedure() {
    static ColourTableHandler handler;
    return &handler;
}
