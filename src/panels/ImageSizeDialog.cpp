#include "panels/ImageSizeDialog.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/View.h"
#include "panels/DialogBuilder.h"
#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/raster/Draw.h"
#include "shell/PaintSettings.h"

namespace {

constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr int kNewImageButtonsY = 53;

platform::Control* Field(platform::Window& window, int id) { return window.FindControl(id); }

void Build(platform::Window& window, int width, int height) {
    using platform::ControlKind;
    PlaceBuiltDialog(window);
    window.SetBackground(kWhite);
    AddControl(ControlKind::Label, 2000, 5, 8, 50, 17, 0, "Width");
    AddControl(ControlKind::Edit, kSizeWidthField, 60, 8, 70, 17, 0, std::to_string(width));
    AddControl(ControlKind::UpDown, kSizeWidthArrows, 0, 0, 0, 0, 0, "");
    AddControl(ControlKind::Label, 2003, 140, 8, 50, 17, 0, "Pixels");
    AddControl(ControlKind::Label, 2003, 5, 28, 50, 17, 0, "Height");
    AddControl(ControlKind::Edit, kSizeHeightField, 60, 28, 70, 17, 0, std::to_string(height));
    AddControl(ControlKind::UpDown, kSizeHeightArrows, 0, 0, 0, 0, 0, "");
    AddControl(ControlKind::Label, 2006, 140, 28, 50, 17, 0, "Pixels");
    AddControl(ControlKind::PushButton, kSizeOkButton, 90, kNewImageButtonsY, 60, 20, platform::kStyleDefaultButton,
               "OK");
    AddControl(ControlKind::PushButton, kSizeCancelButton, 155, kNewImageButtonsY, 60, 20, 0, "Cancel");
}

// An arrow click moves the field by one step, kept within 1 ... 32000.
void Step(platform::Window& window, int fieldId, int delta) {
    platform::Control* field = Field(window, fieldId);
    if (!field) return;
    const int value = std::clamp(ParseDecimal(field->Text()) + delta, 1, kMaxImageSide);
    field->SetText(std::to_string(value));
}

}  // namespace

int ReadSizeField(const std::string& text) {
    std::size_t digits = 0;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            ++digits;
        } else if (!std::isspace(static_cast<unsigned char>(c))) {
            return 0;
        }
    }
    if (digits == 0 || digits > 6) return 0;
    const int value = ParseDecimal(text);
    return value >= 1 && value <= kMaxImageSide ? value : 0;
}

int NewImageDialogHandler::Handle(platform::Window& window, const platform::WindowMessage& message) {
    switch (message.kind) {
        case platform::MessageKind::InitDialog:
            accepted = false;
            Build(window, CurrentBox().width > 0 ? CurrentBox().width : 240,
                  CurrentBox().height > 0 ? CurrentBox().height : 228);
            return 1;
        case platform::MessageKind::Paint:
            raster::FillRect(window.GetDC(), window.ClientRect(), kWhite);
            return 1;
        case platform::MessageKind::UpDownDelta:
            Step(window, message.id == kSizeWidthArrows ? kSizeWidthField : kSizeHeightField, message.delta);
            return 1;
        case platform::MessageKind::Command:
            if (message.id == kSizeOkButton || message.id == 1) {
                const std::string w = GetControlText(Field(window, kSizeWidthField));
                const std::string h = GetControlText(Field(window, kSizeHeightField));
                if (w.empty() || h.empty()) {
                    platform::ShowMessageBox("Please enter the image width and height.", platform::kCaptionProgram,
                                             platform::MessageButtons::Ok, platform::MessageIcon::Warning);
                    return 1;
                }
                width = ReadSizeField(w);
                height = ReadSizeField(h);
                if (!width || !height) {
                    platform::ShowMessageBox("The width and height must be whole numbers from 1 to 32000.",
                                             platform::kCaptionProgram, platform::MessageButtons::Ok,
                                             platform::MessageIcon::Warning);
                    return 1;
                }
                accepted = true;
                window.EndDialog(2);
                return 1;
            }
            if (message.id == kSizeCancelButton || message.id == 2) window.EndDialog(2);
            return 1;
        case platform::MessageKind::Close: window.EndDialog(2); return 1;
        default: return 0;
    }
}

int RunNewImageDialog() {
    static NewImageDialogHandler handler;
    handler.accepted = false;
    RunBuiltDialog("New Image", 222, 105, kTemplatePlain, &handler);
    if (!handler.accepted) return 0;
    // Made beside the current image, which goes only once the new one exists: a size too
    // large for memory leaves the document as it was.
    const std::uint32_t previous = CurrentImage;
    const float previousZoom = ZoomFactor;
    const std::int8_t previousTool = PaintSettings.Tool;
    if (CreateImage(handler.width, handler.height) != 1) {
        CurrentImage = previous;
        ZoomFactor = previousZoom;
        PaintSettings.Tool = previousTool;
        return 0;
    }
    if (previous != 0 && previous != CurrentImage) FreeImageBox(previous);
    CurrentPath.clear();
    return 1;
}
