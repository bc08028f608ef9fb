#include "panels/ValueDialog.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "filters/TextureList.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "panels/DialogBuilder.h"
#include "platform/Dialog.h"
#include "platform/raster/Draw.h"

namespace {

using platform::ControlKind;
using platform::MessageKind;
using platform::Window;
using platform::WindowMessage;

constexpr int kWidth = kValueDialogWidth;
constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kCaptionText = 0xFFFFFF;
constexpr raster::Colour kActiveCaption = raster::MakeColour(0x1C, 0x4C, 0x9C);
constexpr raster::Colour kButtonFace = 0xC0C0C0;
constexpr int kOkKey = 1;
constexpr int kCancelKey = 2;

std::string Decimal(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

int ClampToSlot(const ValueSlot& slot, int value) { return std::clamp(value, slot.min, std::max(slot.min, slot.max)); }

// Entry index of a "|"-separated list; empty when there is none.
std::string ListEntry(const std::string& items, int index) {
    if (index < 0) return {};
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = items.find('|', start);
        if (start == std::string::npos) return {};
        ++start;
    }
    return items.substr(start, items.find('|', start) - start);
}

bool SameArguments(const FilterArguments& a, const FilterArguments& b) {
    return a.value1 == b.value1 && a.value2 == b.value2 && a.value3 == b.value3 && a.listIndex == b.listIndex &&
           a.texturePath == b.texturePath;
}

class ValueDialogHandler : public platform::WindowHandler {
public:
    int Handle(Window& window, const WindowMessage& message) override {
        switch (message.kind) {
            case MessageKind::InitDialog: Build(window); return 1;
            case MessageKind::Paint: raster::FillRect(window.GetDC(), window.ClientRect(), kWhite); return 1;
            case MessageKind::Timer:
                if (message.id == kValuePreviewTimer) PreviewTimer(window);
                return 1;
            case MessageKind::HScroll: SliderMoved(window, message); return 1;
            case MessageKind::UpDownDelta: Arrows(window, message); return 1;
            case MessageKind::Command: return Command(window, message);
            case MessageKind::StylusDown: return StylusDown(window, message);
            case MessageKind::StylusMove: return StylusMove(window, message);
            case MessageKind::StylusUp:
                if (dragging_) window.ReleaseStylus();
                dragging_ = false;
                return 1;
            case MessageKind::Close: Cancel(window); return 1;
            default: return 0;
        }
    }

private:
    // A change no longer counts once the dialog is ending.
    bool Frozen() const { return ended_ || accepting_; }

    void Build(Window& window) {
        ValueDialogRecordType& r = ValueDialogRecord;
        FilterState.FilterBusy = kFilterIdle;
        ended_ = false;
        accepting_ = false;
        running_ = false;
        dragging_ = false;
        stale_ = true;
        armed_ = false;
        stopAsked_ = false;
        stoppedSinceShown_ = false;
        r.updating = 1;
        PlaceBuiltDialog(window);
        window.SetBackground(kWhite);
        if (platform::Control* title =
                AddControl(ControlKind::FramedLabel, kValueTitleId, -1, -2, kWidth - 15, 16, 0, DialogBuildState.title)) {
            title->SetFont(DialogHooks.titleFont ? DialogHooks.titleFont() : nullptr);
            title->SetColours(kCaptionText, kActiveCaption);
        }
        int y = 17;
        if (!r.listLabel.empty()) {
            AddControl(ControlKind::Label, kValueListLabelId, 2, 19, 50, 17, 0, r.listLabel);
            r.list = AddControl(ControlKind::DropDownList, kValueListId, kWidth - 175, 17, kWidth - 72, 80, 0, "");
            if (r.list) {
                std::size_t start = 0;
                for (;;) {
                    const std::size_t bar = r.listItems.find('|', start);
                    r.list->AddItem(r.listItems.substr(start, bar - start));
                    if (bar == std::string::npos) break;
                    start = bar + 1;
                }
                r.list->SetSelection(r.listIndex);
            }
            y = 39;
        }
        for (int k = 0; k < 3; ++k) {
            ValueSlot& slot = r.slot[k];
            if (slot.label.empty()) continue;
            AddControl(ControlKind::Label, ValueLabelId(k), 2, y, 60, 17, 0, slot.label);
            slot.slider = AddControl(ControlKind::Trackbar, ValueSliderId(k), 60, y - 2, kWidth - 136, 21, 0, "");
            slot.edit = AddControl(ControlKind::Edit, ValueFieldId(k), kWidth - 76, y, 43, 17, 0, Decimal(slot.value));
            AddControl(ControlKind::UpDown, ValueArrowsId(k), 0, 0, 0, 0, 0, "");
            if (slot.slider) {
                slot.slider->SetRange(slot.min, slot.max, true);
                slot.slider->SetPosition(slot.value);
                slot.slider->SetPageSize(slot.page);
            }
            y += 20;
        }
        const int okY = r.slot[0].label.empty() ? y : y - 20;
        AddControl(ControlKind::PushButton, kValueOkId, kWidth - 28, okY, 23, 17, 0, "OK");
        if (platform::Control* close = AddControl(ControlKind::PushButton, kValueCloseId, kWidth - 15, -2, 15, 16, 0, "x")) {
            close->SetColours(kCaptionText, kActiveCaption);
        }
        if (platform::Control* ok = window.FindControl(kValueOkId)) ok->SetColours(0, kButtonFace);
        Rearm(window);
        r.updating = 0;
    }

    static int SlotOfControl(int id, int (*idOf)(int)) {
        for (int k = 0; k < 3; ++k) {
            if (idOf(k) == id && !ValueDialogRecord.slot[k].label.empty()) return k;
        }
        return -1;
    }

    // A change is previewed 10 ms after the first change not yet previewed, so that a burst
    // of changes makes one preview. Later changes of the burst do not put the timer back: a
    // slider dragged without a pause would otherwise never be previewed.
    void ArmPreview(Window& window) {
        stale_ = true;
        if (armed_) return;
        armed_ = true;
        window.SetTimer(kValuePreviewTimer, kValuePreviewMs);
    }

    void Rearm(Window& window) {
        armed_ = true;
        window.KillTimer(kValuePreviewTimer);
        window.SetTimer(kValuePreviewTimer, kValuePreviewMs);
    }

    void Disarm(Window& window) {
        armed_ = false;
        window.KillTimer(kValuePreviewTimer);
    }

    void SliderMoved(Window& window, const WindowMessage& message) {
        if (Frozen()) return;
        switch (message.scrollCode) {
            case platform::ScrollCode::ThumbPosition:
            case platform::ScrollCode::EndScroll: return;
            default: break;
        }
        const int k = SlotOfControl(message.id, ValueSliderId);
        if (k < 0) return;
        ValueSlot& slot = ValueDialogRecord.slot[k];
        const int position = slot.slider ? slot.slider->Position() : message.position;
        ValueDialogRecord.updating = 1;
        if (slot.edit) slot.edit->SetText(Decimal(position));
        slot.value = ClampToSlot(slot, position);
        ArmPreview(window);
        ValueDialogRecord.updating = 0;
    }

    // The field keeps what was typed, even out of range; the value and the slider are clamped.
    void FieldChanged(Window& window, int k) {
        if (Frozen() || ValueDialogRecord.updating) return;
        ValueSlot& slot = ValueDialogRecord.slot[k];
        slot.value = ClampToSlot(slot, ParseDecimal(GetControlText(slot.edit)));
        if (slot.slider) slot.slider->SetPosition(slot.value);
        ArmPreview(window);
    }

    // The arrows write the field, which moves the slider and arms the preview.
    void Arrows(Window&, const WindowMessage& message) {
        if (Frozen()) return;
        const int k = SlotOfControl(message.id, ValueArrowsId);
        if (k < 0) return;
        ValueSlot& slot = ValueDialogRecord.slot[k];
        const long long proposed = static_cast<long long>(ParseDecimal(GetControlText(slot.edit))) + message.delta;
        const int value = static_cast<int>(std::clamp<long long>(proposed, slot.min, std::max(slot.min, slot.max)));
        if (slot.edit) slot.edit->SetText(Decimal(value));
    }

    void ListChanged(Window& window) {
        if (Frozen() || ValueDialogRecord.updating || !ValueDialogRecord.list) return;
        ValueDialogRecord.listIndex = ValueDialogRecord.list->Selection();
        ArmPreview(window);
    }

    int Command(Window& window, const WindowMessage& message) {
        const int id = message.id;
        for (int k = 0; k < 3; ++k) {
            if (id == ValueFieldId(k) && !ValueDialogRecord.slot[k].label.empty()) {
                FieldChanged(window, k);
                return 1;
            }
        }
        switch (id) {
            case kValueListId: ListChanged(window); return 1;
            case kValueOkId:
            case kOkKey: Accept(window); return 1;
            case kValueCloseId:
            case kCancelKey: Cancel(window); return 1;
            default: return 0;
        }
    }

    void PreviewTimer(Window& window) {
        Disarm(window);
        if (ended_) return;
        if (FilterState.FilterBusy != kFilterIdle || running_) {
            // A preview is running (this tick is nested in its pumping): stop it at its next
            // row; the tick after it starts a fresh one with the values as they are then.
            if (FilterState.FilterBusy == kFilterRunning && MayStopRun()) {
                FilterState.FilterBusy = kFilterRestart;
                stopAsked_ = true;
            }
            stale_ = true;
            Rearm(window);
            return;
        }
        Preview();
        if (accepting_ && !ended_) Finish(window);
    }

    // A new value stops the running preview only while it is at most half done, and only
    // when no preview was stopped since the last one shown: a slider dragged without a pause
    // then still shows a preview after at most one stopped run, and the run let finish is
    // followed at once by one with the newest values.
    bool MayStopRun() const {
        const bool pastHalf = 2L * FilterState.pumpedRowsBegun > FilterState.pumpedRows;
        return !pastHalf && !stoppedSinceShown_;
    }

    // One preview from the source with the current values. It counts as current unless a
    // change or a restart arrives while it runs.
    void Preview() {
        stale_ = false;
        running_ = true;
        stopAsked_ = false;
        runArguments_ = ValueDialogArguments();
        RunFilterPreview(runArguments_);
        running_ = false;
        stoppedSinceShown_ = stopAsked_;
    }

    // OK stores the fields' values clamped. The image must end as the filter makes it of the
    // final values: a preview still waiting, stopped or made with older values is run again
    // to the end before the dialog closes.
    void Accept(Window& window) {
        if (Frozen()) return;
        for (ValueSlot& slot : ValueDialogRecord.slot) {
            slot.value = ClampToSlot(slot, ParseDecimal(GetControlText(slot.edit)));
        }
        accepting_ = true;
        if (running_) {
            // Nested in a preview: it finishes, or stops for a rerun, and the timer's tick
            // that started it closes the dialog.
            if (!SameArguments(runArguments_, ValueDialogArguments())) {
                if (FilterState.FilterBusy == kFilterRunning) FilterState.FilterBusy = kFilterRestart;
                stale_ = true;
            }
            return;
        }
        Finish(window);
    }

    void Finish(Window& window) {
        Disarm(window);
        if (stale_ && FilterState.FilterId != FILTER_NONE) Preview();
        ended_ = true;
        window.EndDialog(1);
    }

    void Cancel(Window& window) {
        if (Frozen()) return;
        ended_ = true;
        // A running preview need not finish: the image is restored from the source anyway.
        if (FilterState.FilterBusy == kFilterRunning) FilterState.FilterBusy = kFilterRestart;
        Disarm(window);
        window.EndDialog(0);
    }

    // A press on the top strip drags the dialog, as its caption would.
    int StylusDown(Window& window, const WindowMessage& message) {
        if (message.y >= kValueDragStrip || message.y < 0) return 0;
        dragging_ = true;
        grabX_ = message.x;
        grabY_ = message.y;
        window.CaptureStylus();
        return 1;
    }

    int StylusMove(Window& window, const WindowMessage& message) {
        if (!dragging_) return 0;
        const raster::Rect r = window.WindowRect();
        window.Move(r.left + message.x - grabX_, r.top + message.y - grabY_, r.Width(), r.Height(), true);
        return 1;
    }

    bool ended_ = false;
    bool accepting_ = false;
    bool running_ = false;
    bool stale_ = true;
    bool armed_ = false;  // the preview timer runs
    bool stopAsked_ = false;  // the running preview was asked to stop for a newer one
    bool stoppedSinceShown_ = false;
    bool dragging_ = false;
    int grabX_ = 0;
    int grabY_ = 0;
    FilterArguments runArguments_;
};

}  // namespace

platform::WindowHandler* ValueDialogHandlerInstance() {
    static ValueDialogHandler handler;
    return &handler;
}

FilterArguments ValueDialogArguments() {
    const ValueDialogRecordType& r = ValueDialogRecord;
    FilterArguments arguments;
    arguments.value1 = r.slot[0].value;
    arguments.value2 = r.slot[1].value;
    arguments.value3 = r.slot[2].value;
    arguments.listIndex = r.listIndex;
    if (FilterState.FilterId == FILTER_TEXTURE) {
        const std::string name = ListEntry(r.listItems, r.listIndex);
        if (!name.empty()) arguments.texturePath = TextureFolder() + "/" + name;
    }
    return arguments;
}

int RunOperationDialog(const Operation& operation) {
    const BoundInputs inputs = CurrentBoundInputs(PaintSettings.Gradient);
    ValueSlot slots[3];
    for (int k = 0; k < 3; ++k) {
        const OperationValue* value = SlotOf(operation, k);
        if (!value) continue;
        slots[k].label = value->label;
        slots[k].value = BoundValue(value->initial, inputs);
        slots[k].page = value->page;
        slots[k].min = BoundValue(value->minimum, inputs);
        slots[k].max = BoundValue(value->maximum, inputs);
    }
    std::string listLabel;
    std::string listItems;
    int listIndex = 0;
    if (const OperationValue* list = ListOf(operation)) {
        listLabel = list->label;
        listItems = ListItemsText(*list);
        listIndex = BoundValue(list->initial, inputs);
    }
    FilterState.FilterId = operation.filterId;
    const int result = RunValueDialog(operation.title ? operation.title : "", slots, listLabel, listItems, listIndex);
    FilterState.FilterId = FILTER_NONE;
    if (result != 1) {
        CopyPixels(FilterTarget(), FilterSource());
        return 0;
    }
    if (operation.filterId == FILTER_NONE) {
        // Without a preview the operation runs now; a failure has shown its own message.
        std::string ignored;
        operation.run(ValueDialogArguments(), ignored);
    }
    return 1;
}
