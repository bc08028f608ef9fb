#include "panels/ImageSizeDialog.h"

#include <algorithm>
#include <cctype>

#include "files/OpenSave.h"
#include "filters/Resize.h"
#include "filters/TargetBuffers.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "panels/DialogBuilder.h"
#include "panels/PanelState.h"
#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/raster/Draw.h"

namespace {

constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kButtonFace = 0xC0C0C0;  // the handheld's button-face grey
constexpr int kNewImageButtonsY = 53;
constexpr int kResizeButtonsY = 113;
constexpr int kDialogWidth = 222;
constexpr int kNewImageHeight = 105;
constexpr int kResizeHeight = 163;
constexpr int kOkKey = 1;
constexpr int kCancelKey = 2;

platform::Control* Field(platform::Window& window, int id) { return window.FindControl(id); }

void Label(int id, int x, int y, int width, int height, const char* text) {
    if (platform::Control* label = AddControl(platform::ControlKind::Label, id, x, y, width, height, 0, text)) {
        label->SetColours(kBlack, kButtonFace);
    }
}

// The size the fields start with and the ratio they keep: the piece's in "Brush Size",
// otherwise the image's.
void TargetSize(SizeDialogKind kind, int& width, int& height) {
    if (kind == SizeDialogKind::BrushSize) {
        width = static_cast<int>(FloatingPiece.pieceWidth);
        height = static_cast<int>(FloatingPiece.pieceHeight);
    } else {
        width = CurrentBox().width;
        height = CurrentBox().height;
    }
}

float AspectRatio(SizeDialogKind kind) {
    int width = 0;
    int height = 0;
    TargetSize(kind, width, height);
    if (width <= 0 || height <= 0) return 1.0f;
    return static_cast<float>(width) / static_cast<float>(height);
}

// An arrow click moves the field by one step, kept within 1 ... 32000.
void Step(platform::Window& window, int fieldId, int delta) {
    platform::Control* field = Field(window, fieldId);
    if (!field) return;
    const int value = std::clamp(ParseDecimal(field->Text()) + delta, 1, kMaxImageSide);
    field->SetText(std::to_string(value));
}

void ShowWarning(const char* text) {
    platform::ShowMessageBox(text, platform::kCaptionProgram, platform::MessageButtons::Ok,
                             platform::MessageIcon::Warning);
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

void ImageSizeDialogHandler::Build(platform::Window& window) {
    using platform::ControlKind;
    PlaceBuiltDialog(window);
    window.SetBackground(kWhite);
    int width = 0;
    int height = 0;
    TargetSize(kind, width, height);
    if (kind == SizeDialogKind::NewImage && (width <= 0 || height <= 0)) {
        width = 240;
        height = 228;
    }
    Label(2000, 5, 8, 50, 17, "Width");
    AddControl(ControlKind::Edit, kSizeWidthField, 60, 8, 70, 17, 0, std::to_string(width));
    AddControl(ControlKind::UpDown, kSizeWidthArrows, 0, 0, 0, 0, 0, "");
    Label(2003, 140, 8, 50, 17, "Pixels");
    Label(2003, 5, 28, 50, 17, "Height");
    AddControl(ControlKind::Edit, kSizeHeightField, 60, 28, 70, 17, 0, std::to_string(height));
    AddControl(ControlKind::UpDown, kSizeHeightArrows, 0, 0, 0, 0, 0, "");
    Label(2006, 140, 28, 50, 17, "Pixels");
    int buttonsY = kNewImageButtonsY;
    if (IsResize()) {
        buttonsY = kResizeButtonsY;
        platform::Control* constrain =
            AddControl(ControlKind::CheckBox, kSizeConstrainBox, 5, 48, 140, 17, 0, "Constrain Proportions");
        if (constrain) constrain->SetChecked(PanelState.ConstrainProportions == 1);
        platform::Control* resize = AddControl(ControlKind::CheckBox, kSizeResizeBox, 5, 68, 140, 17, 0, "Resize Image");
        Label(2009, 4, 88, 95, 20, "Resample Mode:");
        platform::Control* list = AddControl(ControlKind::DropDownList, kSizeModeList, 100, 86, 115, 80, 0, "");
        if (list) {
            list->AddItem("Interpolated");
            list->AddItem("Nearest Neighbor");
            list->SetSelection(0);
        }
        if (PanelState.ResizeImage == 0) {
            if (list) list->SetEnabled(false);
        } else if (resize) {
            resize->SetChecked(true);
        }
    }
    AddControl(ControlKind::PushButton, kSizeOkButton, 90, buttonsY, 60, 20, platform::kStyleDefaultButton, "OK");
    AddControl(ControlKind::PushButton, kSizeCancelButton, 155, buttonsY, 60, 20, 0, "Cancel");
}

// With proportions constrained, a change of one side sets the other at the aspect ratio.
void ImageSizeDialogHandler::FollowField(platform::Window& window, int changedId) {
    if (PanelState.ConstrainProportions != 1 || !IsResize() || updating) return;
    platform::Control* width = Field(window, kSizeWidthField);
    platform::Control* height = Field(window, kSizeHeightField);
    if (!width || !height) return;
    const float ratio = AspectRatio(kind);
    const bool fromWidth = changedId == kSizeWidthField;
    const int typed = ParseDecimal((fromWidth ? width : height)->Text());
    // Nothing sensible follows from a side that is no size at all; OK will say so.
    if (typed < 1 || typed > kMaxImageSide) return;
    const float other = fromWidth ? static_cast<float>(typed) / ratio : static_cast<float>(typed) * ratio;
    updating = 1;
    (fromWidth ? height : width)->SetText(std::to_string(static_cast<unsigned>(other)));
    updating = 0;
}

void ImageSizeDialogHandler::Ok(platform::Window& window) {
    const std::string w = GetControlText(Field(window, kSizeWidthField));
    const std::string h = GetControlText(Field(window, kSizeHeightField));
    if (w.empty() || h.empty()) {
        ShowWarning("Please enter the image width and height.");
        return;
    }
    width = ReadSizeField(w);
    height = ReadSizeField(h);
    if (!width || !height) {
        ShowWarning("The width and height must be whole numbers from 1 to 32000.");
        return;
    }
    mode = kResampleInterpolated;
    if (platform::Control* list = Field(window, kSizeModeList)) mode = list->Selection() == 1 ? kResampleNearest : kResampleInterpolated;
    accepted = true;
    window.EndDialog(2);
}

int ImageSizeDialogHandler::Handle(platform::Window& window, const platform::WindowMessage& message) {
    switch (message.kind) {
        case platform::MessageKind::InitDialog:
            accepted = false;
            updating = 1;
            Build(window);
            updating = 0;
            return 1;
        case platform::MessageKind::Paint:
            raster::FillRect(window.GetDC(), window.ClientRect(), kWhite);
            return 1;
        case platform::MessageKind::UpDownDelta:
            Step(window, message.id == kSizeWidthArrows ? kSizeWidthField : kSizeHeightField, message.delta);
            return 1;
        case platform::MessageKind::Command:
            switch (message.id) {
                case kSizeWidthField:
                case kSizeHeightField: FollowField(window, message.id); return 1;
                case kSizeConstrainBox:
                    if (!IsResize()) return 1;
                    PanelState.ConstrainProportions = PanelState.ConstrainProportions ? 0 : 1;
                    Field(window, kSizeConstrainBox)->SetChecked(PanelState.ConstrainProportions == 1);
                    if (PanelState.ConstrainProportions == 1) FollowField(window, kSizeWidthField);
                    return 1;
                case kSizeResizeBox:
                    if (!IsResize()) return 1;
                    PanelState.ResizeImage = PanelState.ResizeImage ? 0 : 1;
                    Field(window, kSizeResizeBox)->SetChecked(PanelState.ResizeImage == 1);
                    if (platform::Control* list = Field(window, kSizeModeList)) list->SetEnabled(PanelState.ResizeImage == 1);
                    return 1;
                case kSizeOkButton:
                case kOkKey: Ok(window); return 1;
                case kSizeCancelButton:
                case kCancelKey: window.EndDialog(2); return 1;
                default: return 1;
            }
        case platform::MessageKind::Close: window.EndDialog(2); return 1;
        default: return 0;
    }
}

int RunNewImageDialog() {
    static ImageSizeDialogHandler handler;
    handler.kind = SizeDialogKind::NewImage;
    handler.accepted = false;
    RunBuiltDialog("New Image", kDialogWidth, kNewImageHeight, kTemplatePlain, &handler);
    if (!handler.accepted) return 0;
    if (ReplaceDocument(handler.width, handler.height) != 1) return 0;
    ImageState.CurrentPath.clear();
    ForgetCarriedData();
    return 1;
}

int RunImageSizeDialog() {
    static ImageSizeDialogHandler handler;
    const bool piece = PieceOnCanvas();
    handler.kind = piece ? SizeDialogKind::BrushSize : SizeDialogKind::ImageSize;
    handler.accepted = false;
    RunBuiltDialog(piece ? "Brush Size" : "Image Size", kDialogWidth, kResizeHeight, kTemplatePlain, &handler);
    if (!handler.accepted) return 0;
    return ResizePixels(handler.width, handler.height, handler.mode, PanelState.ResizeImage);
}
