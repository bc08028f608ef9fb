#include "batch/BatchScript.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <string_view>

#include "files/OpenSave.h"
#include "filters/Noise.h"
#include "filters/TargetBuffers.h"
#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "platform/Window.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "shell/ProgramState.h"
#include "tools/BrushEngine.h"
#include "tools/Canvas.h"
#include "tools/Shapes.h"
#include "tools/ToolChoice.h"
#include "tools/ToolGroups.h"
#include "tools/ToolTable.h"

namespace {

constexpr int kPointMin = -32768;  // stylus points are 16-bit window coordinates
constexpr int kPointMax = 32767;
constexpr int kLongestHold = 1000000;

// Where a tool sits on the tool bar: its group and its entry there.
struct ToolPlace {
    int group = -1;
    std::int16_t entry = 0;
};

// The tool bar's entry of the tool's row of that kind (the linear gradient is kind 0 of
// tool 50, the circular one kind 1); no group for tools the bar does not choose.
ToolPlace FindToolPlace(int tool, int kind) {
    const ToolRow* row = RowOfEntry(tool, kind);
    if (!row || row->group == kNoToolGroup) return ToolPlace{};
    return ToolPlace{row->group, row->place};
}

// The tool bar's way: the tool's entry becomes its group's current one, the group becomes
// the current group (the one before is remembered), and the group's entry is applied.
void ChooseTool(int tool, int variant) {
    const ToolPlace place = FindToolPlace(tool, variant);
    if (place.group < 0) return;
    GroupCurrent(place.group) = place.entry;
    CanvasState.PreviousGroup = PaintSettings.Group;
    PaintSettings.Group = static_cast<std::int8_t>(place.group);
    CloseOpenPolygon();
    ApplyGroupTool();
}

bool CheckTool(const std::vector<int>& v, std::string& error) {
    if (FindToolPlace(v[0], 0).group < 0) {
        error = "tool " + std::to_string(v[0]) + " cannot be chosen (--list names the tools)";
        return false;
    }
    if (v.size() > 1 && v[0] != kToolGradient) {
        error = "only the gradient (50) takes a second value";
        return false;
    }
    return true;
}

void SendToCanvas(platform::MessageKind kind, int x, int y, int id = 0) {
    platform::Window* window = CurrentBox().window;
    if (!window) return;
    platform::WindowMessage m;
    m.kind = kind;
    m.x = x;
    m.y = y;
    m.id = id;
    window->Send(m);
}

// The canvas's 1 ms timer ticks only once the airbrush or spray can has started it.
bool AirbrushTimerRuns() {
    const auto* window = dynamic_cast<const platform::HeadlessWindow*>(CurrentBox().window);
    return !window || window->TimerPeriod(kTimerAirbrush) > 0;
}

void Stroke(const std::vector<int>& v) {
    const std::size_t last = v.size() - 2;
    SendToCanvas(platform::MessageKind::StylusDown, v[0], v[1]);
    for (std::size_t i = 2; i < v.size(); i += 2) SendToCanvas(platform::MessageKind::StylusMove, v[i], v[i + 1]);
    SendToCanvas(platform::MessageKind::StylusUp, v[last], v[last + 1]);
}

void Hold(const std::vector<int>& v) {
    for (int tick = 0; tick < v[0]; ++tick) {
        if (!AirbrushTimerRuns()) return;
        SendToCanvas(platform::MessageKind::Timer, 0, 0, kTimerAirbrush);
    }
}

// The tools the bar chooses, as the rows name them, so that a new tool is listed with its row:
// "1 line, 2 rectangle, ..., 50 linear gradient (Kind 0), 50 circular gradient (Kind 1)".
const char* ToolStepText() {
    static const std::string text = [] {
        std::string list = "chooses a tool as the tool bar does: ";
        for (const ToolRow& row : ToolRows()) {
            if (row.group == kNoToolGroup) continue;
            if (list.back() != ' ') list += ", ";
            list += std::to_string(row.id) + " ";
            for (const char* c = row.name; *c; ++c) list += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
            if (RowOfEntry(row.id, 1)) list += " (Kind " + std::to_string(row.kind) + ")";
        }
        return list;
    }();
    return text.c_str();
}

int LastChoosableTool() {
    int last = 1;
    for (const ToolRow& row : ToolRows()) {
        if (row.group != kNoToolGroup) last = std::max(last, static_cast<int>(row.id));
    }
    return last;
}

raster::Colour ColourOf(const std::vector<int>& v) { return raster::MakeColour(v[0], v[1], v[2]); }

const std::vector<CanvasStepValue> kColour = {{"Red", 0, 255}, {"Green", 0, 255}, {"Blue", 0, 255}};
const std::vector<CanvasStepValue> kPoint = {{"X", kPointMin, kPointMax}, {"Y", kPointMin, kPointMax}};

CanvasStep Setting(const char* name, const char* what, CanvasStepValue value, void (*run)(const std::vector<int>&)) {
    return CanvasStep{name, what, {value}, 1, false, nullptr, run};
}

CanvasStep Command(const char* name, const char* what, void (*run)(const std::vector<int>&)) {
    return CanvasStep{name, what, {}, 0, false, nullptr, run};
}

template <int Id>
void Dispatch(const std::vector<int>&) {
    DispatchCommand(Id);
}

// One row per step, in the order --list shows them. A new setting is a Setting row, a new
// menu command a Command row with its identifier; values are checked against their ranges
// before the run, so a row's run function can rely on them.
std::vector<CanvasStep> MakeCanvasSteps() {
    using V = const std::vector<int>&;
    return {
        {"fcolor", "the foreground colour", kColour, 3, false, nullptr,
         [](V v) { PaintSettings.FColor = ColourOf(v); }},
        {"bcolor", "the background colour", kColour, 3, false, nullptr,
         [](V v) { PaintSettings.BColor = ColourOf(v); }},
        Setting("brush",
                "the brush shape: 0 round, 1 square, 2 soft round, 3 rising and 4 falling diagonal, "
                "5 horizontal and 6 vertical bar, 7 spray",
                {"Shape", 0, 7}, [](V v) { PaintSettings.Brush = static_cast<std::uint32_t>(v[0]); }),
        Setting("size", "the brush size in pixels", {"Size", 1, 17},
                [](V v) { PaintSettings.Size = static_cast<std::uint32_t>(v[0]); }),
        Setting("fill", "the fill style of shapes: 0 hollow, 1 outlined, 2 solid", {"Style", 0, 2},
                [](V v) { PaintSettings.Fill = static_cast<std::int8_t>(v[0]); }),
        Setting("trans", "1: a floating piece leaves out its pixels of the background colour", {"On", 0, 1},
                [](V v) { PaintSettings.Trans = static_cast<std::uint32_t>(v[0]); }),
        Setting("wtolerance", "the magic wand's tolerance", {"Tolerance", 0, 255},
                [](V v) { PaintSettings.WTolerance = static_cast<std::uint8_t>(v[0]); }),
        Setting("ftolerance", "the flood fill's tolerance", {"Tolerance", 0, 255},
                [](V v) { PaintSettings.FTolerance = static_cast<std::uint8_t>(v[0]); }),
        Setting("round", "the corner size of the rounded rectangle", {"Radius", 0, 255},
                [](V v) { PaintSettings.Round = static_cast<std::uint8_t>(v[0]); }),
        Setting("gopacity", "the gradient opacity in per cent", {"Opacity", 1, 100},
                [](V v) { PaintSettings.GOpacity = static_cast<std::uint8_t>(v[0]); }),
        Setting("dopacity", "the drawing opacity in per cent", {"Opacity", 1, 100},
                [](V v) { PaintSettings.DOpacity = static_cast<std::uint8_t>(v[0]); }),
        Setting("gradient",
                "the gradient style: 0 foreground to background, 1 foreground to transparent, "
                "2 transparent to foreground",
                {"Style", 0, 2}, [](V v) { PaintSettings.Gradient = static_cast<std::uint8_t>(v[0]); }),
        Setting("modifier", "the selection modifier: 0 none, 1 add (and square shapes), 2 subtract", {"Mode", 0, 2},
                [](V v) { CanvasState.SelectModifier = static_cast<std::int8_t>(v[0]); }),
        Setting("select-item",
                "the Select group's current entry: 0 rectangle, 1 lasso, 2 magic wand, 3 polygon",
                {"Entry", 0, 3}, [](V v) { GroupCurrent(kGroupSelect) = static_cast<std::int16_t>(v[0]); }),
        {"tool", ToolStepText(),
         {{"Tool", 1, LastChoosableTool()}, {"Kind", 0, 1}}, 1, false, CheckTool,
         [](V v) { ChooseTool(v[0], v.size() > 1 ? v[1] : 0); }},
        {"down", "the stylus goes down at the point", kPoint, 2, false, nullptr,
         [](V v) { SendToCanvas(platform::MessageKind::StylusDown, v[0], v[1]); }},
        {"move", "the stylus moves to the point", kPoint, 2, false, nullptr,
         [](V v) { SendToCanvas(platform::MessageKind::StylusMove, v[0], v[1]); }},
        {"up", "the stylus is lifted at the point", kPoint, 2, false, nullptr,
         [](V v) { SendToCanvas(platform::MessageKind::StylusUp, v[0], v[1]); }},
        {"stroke", "down at the first point, a move to each further point, up at the last", kPoint, 2, true,
         nullptr, Stroke},
        {"double-tap", "the second press of a double click at the point: the double tap, then the stylus-up",
         kPoint, 2, false, nullptr,
         [](V v) {
             SendToCanvas(platform::MessageKind::DoubleTap, v[0], v[1]);
             SendToCanvas(platform::MessageKind::StylusUp, v[0], v[1]);
         }},
        {"hold", "ticks of the canvas's 1 ms timer while the stylus rests (it runs once the airbrush or "
                 "spray can has moved)",
         {{"Ticks", 0, kLongestHold}}, 1, false, nullptr, Hold},
        Command("select-all", "Edit > Select All", Dispatch<CMD_SELECT_ALL>),
        Command("select-inverse", "Edit > Inverse Selection", Dispatch<CMD_INVERSE_SELECTION>),
        Command("select-grow", "Edit > Grow Selection", Dispatch<CMD_GROW_SELECTION>),
        Command("select-similar", "Edit > Select Similar", Dispatch<CMD_SELECT_SIMILAR>),
        Command("copy", "Edit > Copy", Dispatch<CMD_COPY>),
        Command("cut", "Edit > Cut", Dispatch<CMD_CUT>),
        Command("paste", "Edit > Paste", Dispatch<CMD_PASTE>),
        Command("crop-to-selection", "Image > Crop to Selection", Dispatch<CMD_CROP_TO_SELECTION>),
        Command("deselect", "puts a floating piece down (Escape, Ctrl+Shift+A)", Dispatch<CMD_DESELECT>),
        Command("delete", "lets a floating piece go, as Cut without the clipboard (Delete)",
                Dispatch<CMD_DELETE_SELECTION>),
        Command("undo", "Undo (a second undo redoes)", Dispatch<CMD_UNDO>),
        Command("step-back", "Edit > Step Backward: the state before the last step of the history",
                Dispatch<CMD_STEP_BACKWARD>),
        Command("step-forward", "Edit > Step Forward: the state after it again", Dispatch<CMD_STEP_FORWARD>),
    };
}

// "1,-2,3" into numbers; false with the offending item when one is not a whole number.
bool SplitNumbers(std::string_view text, std::vector<int>& numbers, std::string& bad) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view item = text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        const std::string_view digits = !item.empty() && item[0] == '+' ? item.substr(1) : item;
        int value = 0;
        const auto [end, failure] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (digits.empty() || digits[0] == '+' || failure != std::errc() || end != digits.data() + digits.size()) {
            bad = std::string(item);
            return false;
        }
        numbers.push_back(value);
        if (comma == std::string_view::npos) return true;
        start = comma + 1;
    }
}

std::string LabelsOf(const CanvasStep& step) {
    std::string text;
    for (const CanvasStepValue& value : step.values) text += (text.empty() ? "" : ",") + std::string(value.label);
    return step.repeated ? text + ",..." : text;
}

bool CheckCount(const CanvasStep& step, std::size_t count, std::string& error) {
    const std::size_t group = step.values.size();
    bool fits = count >= step.required && count <= group;
    if (step.repeated) fits = count >= group && count % group == 0;
    if (fits) return true;
    if (group == 0) {
        error = "takes no values";
    } else if (step.repeated) {
        error = "takes " + LabelsOf(step) + ": groups of " + std::to_string(group) + ", not " + std::to_string(count) +
                " values";
    } else {
        error = "takes " + LabelsOf(step) + ", not " + std::to_string(count) + " values";
    }
    return false;
}

bool ParseCanvasStep(const CanvasStep& kind, std::string_view text, ScriptStep& step, std::string& error) {
    const std::size_t equals = text.find('=');
    std::vector<int> values;
    std::string bad;
    if (equals != std::string_view::npos && !SplitNumbers(text.substr(equals + 1), values, bad)) {
        error = "\"" + bad + "\" is not a whole number";
        return false;
    }
    if (!CheckCount(kind, values.size(), error)) return false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const CanvasStepValue& range = kind.values[i % kind.values.size()];
        if (values[i] < range.minimum || values[i] > range.maximum) {
            error = std::string(range.label) + " " + std::to_string(values[i]) + " is outside " +
                    std::to_string(range.minimum) + " ... " + std::to_string(range.maximum);
            return false;
        }
    }
    if (kind.check && !kind.check(values, error)) return false;
    step.canvas = &kind;
    step.values = std::move(values);
    return true;
}

// The menu commands' first step: the undo copy that makes the source equal to the target.
bool PrepareImageOperation() {
    if (PieceOnCanvas()) return TakePieceUndo() == 1;
    if (TakeImageUndo() != 1) return false;
    ImageState.UndoKind = kUndoKindFilter;
    return true;
}

std::string StepLabel(int number) { return "step " + std::to_string(number) + ": "; }

}  // namespace

const std::vector<CanvasStep>& CanvasSteps() {
    static const std::vector<CanvasStep> steps = MakeCanvasSteps();
    return steps;
}

const CanvasStep* FindCanvasStep(const std::string& name) {
    for (const CanvasStep& step : CanvasSteps()) {
        if (name == step.name) return &step;
    }
    return nullptr;
}

std::string ScriptStep::Name() const {
    if (canvas) return canvas->name;
    return operation.operation ? operation.operation->batchName : text.substr(0, text.find('='));
}

bool ParseScriptStep(const std::string& text, int number, ScriptStep& step, std::string& error) {
    step = ScriptStep{};
    step.text = text;
    const std::string name = text.substr(0, text.find('='));
    if (const CanvasStep* kind = FindCanvasStep(name)) {
        if (ParseCanvasStep(*kind, text, step, error)) return true;
        error = StepLabel(number) + name + ": " + error;
        return false;
    }
    if (ParseBatchStep(text, step.operation, error) && CheckFixedRanges(step.operation, error)) return true;
    error = StepLabel(number) + error;
    return false;
}

StepResult RunScriptStep(const ScriptStep& step, int number, double* milliseconds, std::string& error) {
    if (step.canvas) {
        step.canvas->run(step.values);
        return StepResult::Done;
    }
    std::vector<int> values;
    if (!ResolveBatchValues(step.operation, values, error)) {
        error = StepLabel(number) + error;
        return StepResult::BadStep;
    }
    if (!PrepareImageOperation()) return StepResult::Failed;
    const auto start = std::chrono::steady_clock::now();
    const bool done = RunBatchStep(*step.operation.operation, values, error);
    if (milliseconds) {
        *milliseconds = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    // Without a window there is no view to repaint.
    if (!done) return StepResult::Failed;
    RecordHistoryStep(OperationStepLabel(*step.operation.operation), step.text);
    return StepResult::Done;
}

bool StartScriptDocument(const PixelBuffer& picture) {
    for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) FreeImageBox(slot);
    ResetProgramState();
    FillToolGroups();
    if (!CreateImage(picture.Width(), picture.Height())) return false;
    CopyPixels(CurrentBox().workBitmap, &picture);
    return true;
}

std::string CanvasStepList() {
    std::string text =
        "\nCanvas steps: the image shows at 100 % from its top-left corner, so a point is an image point.\n"
        "Every value must be written, except where the values below say \"optional\".\n\n";
    for (const CanvasStep& step : CanvasSteps()) {
        text += std::string(step.name) + "\n  " + step.what + "\n";
        for (std::size_t i = 0; i < step.values.size(); ++i) {
            const CanvasStepValue& value = step.values[i];
            text += std::string("  ") + value.label + ": " + std::to_string(value.minimum) + " ... " +
                    std::to_string(value.maximum) + (i >= step.required && !step.repeated ? ", optional" : "") +
                    "\n";
        }
        if (step.repeated) text += "  (the values repeat: one group per point)\n";
    }
    return text;
}

std::unique_ptr<PixelBuffer> RunScriptOnPicture(const PixelBuffer& picture, const std::vector<std::string>& steps,
                                                std::string& error) {
    std::vector<ScriptStep> parsed(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (!ParseScriptStep(steps[i], static_cast<int>(i) + 1, parsed[i], error)) return nullptr;
    }
    if (!StartScriptDocument(picture)) {
        error = "the picture cannot be made";
        return nullptr;
    }
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        if (RunScriptStep(parsed[i], static_cast<int>(i) + 1, nullptr, error) != StepResult::Done) {
            if (error.empty()) error = StepLabel(static_cast<int>(i) + 1) + parsed[i].Name() + " failed";
            return nullptr;
        }
    }
    std::unique_ptr<PixelBuffer> merged;
    const PixelBuffer* shown = PictureAsShown(merged);
    if (!shown) {
        error = "the picture cannot be made";
        return nullptr;
    }
    if (merged) return merged;
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> copy = CreatePixelBuffer(shown->Width(), shown->Height(), 24, header, nullptr);
    if (copy) CopyPixels(copy.get(), shown);
    return copy;
}
