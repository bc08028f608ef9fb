#include "panels/TextToolDialog.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "panels/DialogBuilder.h"
#include "platform/Dialog.h"
#include "platform/Fonts.h"
#include "platform/raster/Draw.h"
#include "tools/TextTool.h"

namespace {

using platform::ControlKind;
using platform::MessageKind;
using platform::Window;
using platform::WindowMessage;

constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kButtonFace = 0xC0C0C0;
constexpr raster::Colour kPreviewBackground = raster::MakeColour(238, 238, 238);
constexpr int kOkKey = 1;
constexpr int kCancelKey = 2;
constexpr int kOk = 1;
constexpr int kCancel = 2;

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void Label(int id, int x, int y, int width, int height, const char* text) {
    if (platform::Control* label = AddControl(ControlKind::Label, id, x, y, width, height, 0, text)) {
        label->SetColours(kBlack, kButtonFace);
    }
}

void CheckBox(int id, int x, int y, int width, const char* text, std::uint8_t checked) {
    if (platform::Control* box = AddControl(ControlKind::CheckBox, id, x, y, width, 17, 0, text)) {
        box->SetChecked(checked != 0);
    }
}

std::uint8_t* SwitchOf(int id) {
    TextToolSettingsRecord& s = TextToolSettings;
    switch (id) {
        case kTextAntiAliasedBox: return &s.antiAliased;
        case kTextBoldBox: return &s.bold;
        case kTextItalicBox: return &s.italic;
        case kTextUnderlineBox: return &s.underline;
        default: return nullptr;
    }
}

class TextToolDialogHandler : public platform::WindowHandler {
public:
    int Handle(Window& window, const WindowMessage& message) override {
        switch (message.kind) {
            case MessageKind::InitDialog: Build(window); return 1;
            case MessageKind::Paint:
                raster::FillRect(window.GetDC(), window.ClientRect(), kWhite);
                PaintTextPreview(window, window.GetDC());
                return 1;
            case MessageKind::UpDownDelta:
                if (message.id == kTextSizeArrows) StepSize(window, message.delta);
                return 1;
            case MessageKind::Command: return Command(window, message.id);
            case MessageKind::Close: window.EndDialog(kCancel); return 1;
            default: return 0;
        }
    }

private:
    static void Build(Window& window) {
        TextToolSettingsRecord& s = TextToolSettings;
        s.updating = 1;
        PlaceBuiltDialog(window);
        window.SetBackground(kWhite);
        Label(2000, 4, 4, 35, 20, "Text:");
        AddControl(ControlKind::Edit, kTextField, 40, 4, 182, 20, 0, s.text);
        Label(2003, 4, 26, 35, 20, "Font:");
        platform::Control* list = AddControl(ControlKind::DropDownList, kTextFontList, 40, 26, 182, 80, 0, "");
        Label(2005, 4, 48, 35, 20, "Size:");
        AddControl(ControlKind::Edit, kTextSizeField, 40, 48, 40, 17, 0, std::to_string(s.size));
        AddControl(ControlKind::UpDown, kTextSizeArrows, 0, 0, 0, 0, 0, "");
        CheckBox(kTextAntiAliasedBox, 95, 48, 200, "Anti-Aliased", s.antiAliased);
        Label(2009, 4, 66, 35, 20, "Style:");
        CheckBox(kTextBoldBox, 40, 66, 45, "Bold", s.bold);
        CheckBox(kTextItalicBox, 95, 66, 45, "Italic", s.italic);
        CheckBox(kTextUnderlineBox, 150, 66, 70, "Underline", s.underline);
        Label(2005, 4, 84, 50, 15, "Preview:");
        AddControl(ControlKind::PushButton, kTextOkButton, 174, 99, 48, 22, platform::kStyleDefaultButton, "OK");
        AddControl(ControlKind::PushButton, kTextCancelButton, 174, 124, 48, 22, 0, "Cancel");
        if (list) {
            const std::vector<std::string> families = platform::FontFamilies();
            for (const std::string& family : families) list->AddItem(family);
            if (s.faceName.empty() && !families.empty()) s.faceName = families.front();
            list->SetSelection(FindFontEntry(families, s.faceName));
        }
        s.updating = 0;
        window.Invalidate();
    }

    // The arrows move the size as their direction says, from 0 to 255.
    static void StepSize(Window& window, int delta) {
        platform::Control* field = window.FindControl(kTextSizeField);
        if (!field) return;
        const int size = std::clamp(ParseDecimal(field->Text()) + delta, 0, 255);
        field->SetText(std::to_string(size));
    }

    static void Repaint(Window& window) { PaintTextPreview(window, window.GetDC()); }

    static int Command(Window& window, int id) {
        if (std::uint8_t* flag = SwitchOf(id)) {
            *flag = *flag ? 0 : 1;
            if (platform::Control* box = window.FindControl(id)) box->SetChecked(*flag != 0);
            Repaint(window);
            return 1;
        }
        switch (id) {
            case kTextField:
            case kTextSizeField:
            case kTextFontList:
                if (!TextToolSettings.updating) Repaint(window);
                return 1;
            case kTextOkButton:
            case kOkKey: window.EndDialog(kOk); return 1;
            case kTextCancelButton:
            case kCancelKey: window.EndDialog(kCancel); return 1;
            default: return 0;
        }
    }
};

}  // namespace

int FindFontEntry(const std::vector<std::string>& entries, const std::string& family) {
    const int count = static_cast<int>(entries.size());
    const std::string wanted = Lower(family);
    for (int i = 0; i < count; ++i) {
        if (Lower(entries[static_cast<std::size_t>(i)]) == wanted) return i;
    }
    for (int step = 1; step <= count; ++step) {
        const int i = step % count;
        if (Lower(entries[static_cast<std::size_t>(i)]).compare(0, wanted.size(), wanted) == 0) return i;
    }
    return -1;
}

void PaintTextPreview(Window& dialog, raster::DrawingContext& dc) {
    TextToolSettingsRecord& s = TextToolSettings;
    if (!s.updating) {
        s.faceName = GetControlText(dialog.FindControl(kTextFontList));
        s.text = GetControlText(dialog.FindControl(kTextField));
        // Sizes beyond a byte stop at its ends rather than wrapping around.
        s.size = static_cast<std::uint8_t>(std::clamp(ParseDecimal(GetControlText(dialog.FindControl(kTextSizeField))), 0, 255));
    }
    s.font = MakeTextToolFont();
    const raster::Pen pen = dc.CurrentPen();
    const raster::Fill fill = dc.CurrentFill();
    dc.SetPen(raster::Pen{raster::PenStyle::Solid, 1, kBlack});
    dc.SetFill(raster::Fill{false, kPreviewBackground});
    const raster::Rect frame = kTextPreviewFrame;
    raster::Rectangle(dc, frame.left, frame.top, frame.right, frame.bottom);
    dc.SetPen(pen);
    dc.SetFill(fill);
    if (!s.font) return;
    const raster::Font* before = dc.CurrentFont();
    const raster::Colour ink = dc.TextColour();
    dc.SetFont(s.font.get());
    dc.SetTextColour(kBlack);
    const raster::Rect area = kTextPreviewText;
    platform::DrawTextClipped(dc, area.left, area.top, s.text, area, kPreviewBackground);
    dc.SetFont(before);
    dc.SetTextColour(ink);
}

int RunTextToolDialog() {
    static TextToolDialogHandler handler;
    return RunBuiltDialog("Text Tool", kTextDialogWidth, kTextDialogHeight, kTemplatePlain, &handler);
}
