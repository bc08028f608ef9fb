#include "panels/DialogBuilder.h"

#include <cctype>
#include <climits>
#include <memory>

#include "panels/Artwork.h"
#include "panels/ValueDialog.h"
#include "platform/Window.h"

DialogBuildStateRecord DialogBuildState;
ValueDialogRecordType ValueDialogRecord;
platform::WindowHandler* ValueDialogProcedure = ValueDialogHandlerInstance();
DialogHooksRecord DialogHooks;

namespace {

const raster::Bitmap* ProgramIcon() {
    static std::unique_ptr<raster::Bitmap> icon = MakeProgramIcon();
    return icon.get();
}

bool IsEditKind(platform::ControlKind kind) {
    return kind == platform::ControlKind::Edit || kind == platform::ControlKind::NumberEdit ||
           kind == platform::ControlKind::MultiLineEdit;
}

}  // namespace

platform::DialogTemplate DialogTemplateFor(int templateId) {
    platform::DialogTemplate result;
    result.id = templateId;
    if (templateId == kTemplatePlain) {
        result.caption = true;
    } else if (templateId == kTemplateAbout) {
        result.caption = true;
        result.captionText = "Dialog";
        result.icon = ProgramIcon();
        result.iconRect = {5, 5, 37, 37};
    }
    return result;
}

int RunBuiltDialog(const std::string& title, int width, int height, int templateId,
                   platform::WindowHandler* procedure) {
    DialogBuildState.title = title;
    DialogBuildState.width = width;
    DialogBuildState.height = height;
    DialogBuildState.focusGiven = 0;
    return platform::RunModalDialog(DialogTemplateFor(templateId), procedure);
}

raster::Rect BuiltDialogRect(std::uint32_t placement, int screenWidth, int screenHeight, int frameTop,
                             int commandBarHeight, int width, int height) {
    int x;
    int y;
    if (placement == kPlacementDocked) {
        x = -1;
        y = screenHeight - height - commandBarHeight + 1;
    } else {
        x = (screenWidth - width) / 2;
        y = (frameTop + screenHeight - height) / 3;
    }
    return {x, y, x + width, y + height};
}

void PlaceBuiltDialog(platform::Window& dialog) {
    DialogBuildState.dialog = &dialog;
    const FrameMetrics frame = DialogHooks.frameMetrics ? DialogHooks.frameMetrics() : FrameMetrics{};
    const raster::Rect r =
        BuiltDialogRect(DialogBuildState.placement, platform::ScreenWidth(), platform::ScreenHeight(),
                        frame.frameTop, frame.commandBarHeight, DialogBuildState.width, DialogBuildState.height);
    if (DialogBuildState.placement == kPlacementDocked) {
        dialog.Move(r.left, r.top, r.Width(), r.Height(), true);
        dialog.Show(true);
    } else {
        dialog.SetTitle(DialogBuildState.title);
        dialog.Move(r.left, r.top, r.Width(), r.Height(), true);
        dialog.Show(true);
        dialog.SetCaptionBar(true);
    }
    DialogBuildState.placement = kPlacementCentred;
}

platform::Control* AddControl(platform::ControlKind kind, int id, int x, int y, int width, int height,
                              std::uint32_t extraStyle, const std::string& text) {
    platform::Window* dialog = DialogBuildState.dialog;
    if (!dialog) return nullptr;
    platform::Control* control =
        dialog->AddControl(kind, id, static_cast<std::int16_t>(x), static_cast<std::int16_t>(y),
                           static_cast<std::int16_t>(width), static_cast<std::int16_t>(height), extraStyle, text);
    if (!control) return nullptr;
    if (kind == platform::ControlKind::PushButton) control->BringToTop();
    if (IsEditKind(kind) && DialogBuildState.focusGiven == 0 && (extraStyle & platform::kStyleDisabled) == 0) {
        control->SetFocus();
        DialogBuildState.focusGiven = 1;
    }
    return control;
}

std::string GetControlText(const platform::Control* control) {
    if (!control) return {};
    return control->Text();
}

int ParseDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(value);
}

int ValueDialogHeight(const ValueDialogRecordType& record) {
    int height = 41;
    if (!record.slot[1].label.empty()) height += 20;
    if (!record.slot[2].label.empty()) height += 20;
    if (!record.listLabel.empty()) height += 20;
    return height;
}

int RunValueDialog(const std::string& title, const ValueSlot (&slots)[3], const std::string& listLabel,
                   const std::string& listItems, int listIndex) {
    ValueDialogRecord = ValueDialogRecordType{};
    for (int k = 0; k < 3; ++k) {
        ValueSlot& slot = ValueDialogRecord.slot[k];
        slot.label = slots[k].label;
        slot.value = slots[k].value;
        slot.page = slots[k].page;
        slot.min = slots[k].min;
        slot.max = slots[k].max;
    }
    ValueDialogRecord.listLabel = listLabel;
    ValueDialogRecord.listItems = listItems;
    ValueDialogRecord.listIndex = listIndex;
    if (!ValueDialogProcedure) return 0;
    DialogBuildState.placement = kPlacementDocked;
    return RunBuiltDialog(title, kValueDialogWidth, ValueDialogHeight(ValueDialogRecord), kTemplatePopup,
                          ValueDialogProcedure);
}
