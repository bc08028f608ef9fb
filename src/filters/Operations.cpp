#include "filters/Operations.h"

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/CreativeFilters.h"
#include "filters/DistortFilters.h"
#include "filters/EdgeFilters.h"
#include "filters/Geometry.h"
#include "filters/NoiseFilters.h"
#include "filters/Resize.h"
#include "filters/TextureList.h"

namespace {

using A = const FilterArguments&;
using E = std::string&;

constexpr const char* kChannelList = "All Channels|Red|Green|Blue|Yellow|Cyan|Magenta";
constexpr const char* kThresholdList = "RGB to Monochrome|RGB to Color|Red Channel|Green Channel|Blue Channel";
constexpr const char* kLightList = "Top Left|Top|Top Right|Left|Right|Bottom Left|Bottom|Bottom Right";
constexpr const char* kColourList = "Red|Green|Blue";
constexpr const char* kStyleList = "Monochrome|Color";
constexpr const char* kResampleList = "Interpolated|Nearest Neighbor";

constexpr Bound N(int number) { return Bound{BoundKind::Number, number}; }
constexpr Bound kWidth{BoundKind::TargetWidth, 1};
constexpr Bound kMinusWidth{BoundKind::TargetWidth, -1};
constexpr Bound kHeight{BoundKind::TargetHeight, 1};
constexpr Bound kMinusHeight{BoundKind::TargetHeight, -1};
constexpr Bound kGradient{BoundKind::GradientStyle, 0};

// Written as a slot reads: label, initial value, page, minimum ... maximum.
OperationValue Slot(const char* label, Bound initial, int page, Bound minimum, Bound maximum) {
    return OperationValue{ValueKind::Slot, label, initial, page, minimum, maximum, nullptr};
}
OperationValue Slot(const char* label, int initial, int page, int minimum, int maximum) {
    return Slot(label, N(initial), page, N(minimum), N(maximum));
}

OperationValue List(const char* label, const char* items, Bound initial = N(0)) {
    int last = 0;
    for (const char* c = items; *c; ++c) last += (*c == '|');
    return OperationValue{ValueKind::List, label, initial, 0, N(0), N(last), items};
}

OperationValue TextureList(const char* label) {
    return OperationValue{ValueKind::List, label, N(0), 0, N(0), Bound{BoundKind::LastTexture, 0}, nullptr};
}

// The dialog's list index and cell size reach these filters as signed bytes.
int SignedByte(int value) { return static_cast<std::int8_t>(value); }

// A filter that reports 0 because a newer preview stopped it, or because it had nothing to
// do, has not failed.
bool Finished(int) { return true; }

bool Convolve(const ConvolutionKernel& kernel) { return Finished(Convolve3x3(FilterSource(), FilterTarget(), kernel)); }

bool Levels(int brightness, int contrast, float gamma, int channels) {
    const ChannelFlags mask = ChannelMask(channels);
    return Finished(ApplyLevels(brightness, contrast, gamma, mask.red, mask.green, mask.blue));
}

bool RunTexture(A a, E error) {
    if (Texture(FilterTarget(), a.texturePath, a.value1)) return true;
    error = "cannot use \"" + a.texturePath + "\" as a texture";
    return false;
}

// The menu place of a row is given by the run of rows it is written in (Section, below).
Operation NoDialog(int command, const char* menuLabel, const char* batchName, OperationRun run) {
    Operation op;
    op.command = command;
    op.menuLabel = menuLabel;
    op.batchName = batchName;
    op.run = run;
    return op;
}

Operation Dialog(int command, std::uint8_t filterId, const char* menuLabel, const char* batchName, const char* title,
                 std::vector<OperationValue> values, OperationRun run) {
    Operation op = NoDialog(command, menuLabel, batchName, run);
    op.filterId = filterId;
    op.title = title;
    op.dialog = OperationDialog::Values;
    op.values = std::move(values);
    return op;
}

Operation SizeDialog(int command, const char* menuLabel, const char* batchName, std::vector<OperationValue> values,
                     OperationRun run) {
    Operation op = NoDialog(command, menuLabel, batchName, run);
    op.dialog = OperationDialog::ImageSize;
    op.values = std::move(values);
    return op;
}

// Where a run of rows goes in the menus: the menu, its sub-menu (null for the menu itself),
// and whether a separator stands before the run.
struct MenuPlace {
    OperationMenu menu;
    const char* subMenu;
    bool separatorBefore;
};

// Appends the rows to the table at their menu place.
void Section(std::vector<Operation>& table, MenuPlace place, std::vector<Operation> rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].menu = place.menu;
        rows[i].subMenu = place.subMenu;
        rows[i].separatorBefore = i == 0 && place.separatorBefore;
        table.push_back(std::move(rows[i]));
    }
}

constexpr OperationMenu kImage = OperationMenu::Image;
constexpr OperationMenu kFilter = OperationMenu::Filter;

// Puts the values, in the table's order, where the run functions read them.
FilterArguments Arrange(const Operation& operation, const std::vector<int>& values) {
    FilterArguments arguments;
    int* slots[] = {&arguments.value1, &arguments.value2, &arguments.value3};
    int slot = 0;
    for (std::size_t i = 0; i < operation.values.size() && i < values.size(); ++i) {
        const OperationValue& value = operation.values[i];
        if (value.kind == ValueKind::List) {
            arguments.listIndex = values[i];
            if (!value.items) arguments.texturePath = TexturePathOf(values[i]);
        } else if (slot < 3) {
            *slots[slot++] = values[i];
        }
    }
    return arguments;
}

std::vector<Operation> MakeOperations() {
    std::vector<Operation> table;
    Section(table, {kImage, nullptr, false}, {
        Dialog(CMD_BRIGHTNESS_CONTRAST, FILTER_BRIGHTNESS_CONTRAST, "Brightness/Contrast...", "brightness-contrast",
               "Brightness / Contrast",
               {Slot("Brightness", 0, 10, -100, 100), Slot("Contrast", 0, 10, -100, 100),
                List("Channels", kChannelList)},
               [](A a, E) { return Levels(a.value1, a.value2, 0.0f, a.listIndex); }),
        Dialog(CMD_HUE_SATURATION, FILTER_HUE_SATURATION, "Hue/Saturation...", "hue-saturation",
               "Hue / Saturation / Luminance",
               {Slot("Hue", 0, 10, -180, 180), Slot("Saturation", 0, 10, -100, 100),
                Slot("Luminance", 0, 10, -100, 100)},
               [](A a, E) {
                   return Finished(HueSaturation(static_cast<float>(a.value1), static_cast<float>(a.value2),
                                                 static_cast<float>(a.value3)));
               }),
        Dialog(CMD_GAMMA, FILTER_GAMMA, "Gamma Correction...", "gamma", "Gamma Correction",
               {Slot("Gamma", 100, 10, 10, 500), List("Channels", kChannelList)},
               [](A a, E) { return Levels(0, 0, static_cast<float>(a.value1), a.listIndex); }),
        Dialog(CMD_ADJUST_RGB, FILTER_ADJUST_RGB, "Adjust RGB...", "adjust-rgb", "Adjust Colors",
               {Slot("Red", 0, 10, -255, 255), Slot("Green", 0, 10, -255, 255), Slot("Blue", 0, 10, -255, 255)},
               [](A a, E) { return Finished(AdjustRgb(a.value1, a.value2, a.value3)); }),
        Dialog(CMD_COLORIZE, FILTER_COLORIZE, "Colorize...", "colorize", "Colorize",
               {Slot("Hue", 0, 10, -180, 180), Slot("Saturation", 0, 10, -100, 100),
                Slot("Luminance", 0, 10, -100, 100)},
               [](A a, E) {
                   return Finished(Colorize(static_cast<float>(a.value1), static_cast<float>(a.value2),
                                            static_cast<float>(a.value3)));
               })
    });
    Section(table, {kImage, nullptr, true}, {
        NoDialog(CMD_INVERT, "Invert", "invert", [](A, E) { return Invert(FilterTarget()) == 1; }),
        NoDialog(CMD_GRAYSCALE, "Grayscale", "grayscale", [](A, E) { return Grayscale(FilterTarget()) == 1; })
    });
    Section(table, {kImage, "Rotate", false}, {
        NoDialog(CMD_ROTATE_180, "180\xC2\xB0 CW", "rotate-180",
                 [](A, E) { return FlipHorizontal() == 1 && FlipVertical() == 1; }),
        NoDialog(CMD_ROTATE_90_CW, "90\xC2\xB0 CW", "rotate-90-cw", [](A, E) { return Rotate90(true) == 1; }),
        NoDialog(CMD_ROTATE_90_CCW, "90\xC2\xB0 CCW", "rotate-90-ccw", [](A, E) { return Rotate90(false) == 1; }),
        // No preview: the rotation runs once the dialog is accepted.
        Dialog(CMD_ROTATE_ARBITRARY, FILTER_NONE, "Arbitrary...", "rotate", "Rotate", {Slot("Angle", 0, 10, -180, 180)},
               [](A a, E) { return RotateArbitrary(static_cast<float>(a.value1)) == 1; })
    });
    Section(table, {kImage, "Rotate", true}, {
        NoDialog(CMD_FLIP_HORIZONTAL, "Flip Horizontal", "flip-horizontal", [](A, E) { return FlipHorizontal() == 1; }),
        NoDialog(CMD_FLIP_VERTICAL, "Flip Vertical", "flip-vertical", [](A, E) { return FlipVertical() == 1; })
    });
    Section(table, {kImage, nullptr, false}, {
        // The size dialog asks for the sides, the mode and whether to resample; these are the
        // same values as the batch takes them. The list's first entry is "Interpolated",
        // mode 1 of the resampler.
        SizeDialog(CMD_IMAGE_SIZE, "Image Size...", "image-size",
                   {Slot("Width", kWidth, 0, N(1), N(kMaxImageSide)),
                    Slot("Height", kHeight, 0, N(1), N(kMaxImageSide)), List("Resample Mode", kResampleList),
                    Slot("Resize Image", 1, 0, 0, 1)},
                   [](A a, E) { return ResizePixels(a.value1, a.value2, 1 - a.listIndex, a.value3) == 1; })
    });
    Section(table, {kFilter, "Blur", false}, {
        NoDialog(CMD_BLUR_LOW, "Low Gaussian Blur", "blur-low", [](A, E) { return Convolve(kLowGaussianBlur); }),
        NoDialog(CMD_BLUR_MEDIUM, "Medium Gaussian Blur", "blur-medium",
                 [](A, E) { return Convolve(kMediumGaussianBlur); }),
        NoDialog(CMD_BLUR_STRONG, "Strong Gaussian Blur", "blur-strong",
                 [](A, E) { return Convolve(kStrongGaussianBlur); }),
        NoDialog(CMD_AVERAGE, "Average", "average", [](A, E) { return Convolve(kAverageBlur); })
    });
    Section(table, {kFilter, "Sharpen", false}, {
        NoDialog(CMD_SHARPEN_LOW, "Low", "sharpen-low", [](A, E) { return Convolve(kLowSharpen); }),
        NoDialog(CMD_SHARPEN_MEDIUM, "Medium", "sharpen-medium", [](A, E) { return Convolve(kMediumSharpen); }),
        NoDialog(CMD_SHARPEN_STRONG, "Strong", "sharpen-strong", [](A, E) { return Convolve(kStrongSharpen); }),
        Dialog(CMD_UNSHARP_MASK, FILTER_UNSHARP_MASK, "Unsharp Mask...", "unsharp-mask", "Unsharp Mask",
               {Slot("Amount", 0, 10, 0, 999), Slot("Radius", 1, 1, 1, 4)},
               [](A a, E) { return Finished(UnsharpMask(a.value1, a.value2)); })
    });
    Section(table, {kFilter, "Noise", false}, {
        NoDialog(CMD_DESPECKLE, "Despeckle", "despeckle",
                 [](A, E) { return Finished(Despeckle(FilterSource(), FilterTarget())); }),
        Dialog(CMD_ADD_NOISE, FILTER_ADD_NOISE, "Add Noise...", "add-noise", "Add Noise",
               {Slot("Amount", 50, 10, 0, 100), List("Style", kStyleList)},
               [](A a, E) { return Finished(AddNoise(SignedByte(a.listIndex), a.value1)); }),
        Dialog(CMD_JITTER, FILTER_JITTER, "Jitter...", "jitter", "Jitter", {Slot("Amount", 0, 10, 0, 100)},
               [](A a, E) { return Finished(Jitter(a.value1)); })
    });
    Section(table, {kFilter, "Contour", false}, {
        NoDialog(CMD_EDGE_DETECT, "Edge Detect", "edge-detect",
                 [](A, E) { return Finished(EdgeDetect(FilterSource(), FilterTarget())); }),
        Dialog(CMD_EMBOSS, FILTER_EMBOSS, "Emboss...", "emboss", "Emboss",
               {Slot("Intensity", 100, 5, 0, 100), List("Light", kLightList, kGradient)},
               [](A a, E) { return Finished(Emboss(a.value1, SignedByte(a.listIndex))); }),
        NoDialog(CMD_FIND_CONTOURS, "Find Contours", "find-contours",
                 [](A, E) { return Finished(FindContours(FilterSource(), FilterTarget())); })
    });
    Section(table, {kFilter, "Creative", false}, {
        Dialog(CMD_TEXTURE, FILTER_TEXTURE, "Texture...", "texture", "Texture",
               {Slot("Threshold", 128, 10, 0, 255), TextureList("Texture")}, RunTexture),
        Dialog(CMD_MOSAIC, FILTER_MOSAIC, "Mosaic...", "mosaic", "Mosaic Cell Size", {Slot("Pixels", 2, 2, 2, 16)},
               [](A a, E) { return Finished(Mosaic(SignedByte(a.value1))); }),
        NoDialog(CMD_OILPAINT, "Oilpaint", "oilpaint", [](A, E) { return Finished(Oilpaint()); })
    });
    Section(table, {kFilter, "Distort", false}, {
        Dialog(CMD_OFFSET, FILTER_OFFSET, "Offset...", "offset", "Offset",
               {Slot("Horizontal", N(0), 10, kMinusWidth, kWidth), Slot("Vertical", N(0), 10, kMinusHeight, kHeight)},
               [](A a, E) { return Finished(Offset(a.value1, a.value2)); }),
        Dialog(CMD_SPHERE, FILTER_SPHERE, "Sphere...", "sphere", "Sphere", {Slot("Amount", 0, 10, -100, 100)},
               [](A a, E) { return Finished(Sphere(a.value1)); }),
        Dialog(CMD_SWIRL, FILTER_SWIRL, "Swirl...", "swirl", "Swirl Angle",
               {Slot("Rotations", 0, 1, -8, 8), Slot("Degrees", 0, 10, -359, 359)},
               [](A a, E) { return Finished(Swirl(a.value1, a.value2)); }),
        Dialog(CMD_WAVES, FILTER_WAVES, "Waves...", "waves", "Waves",
               {Slot("Horizontal", 0, 10, 0, 100), Slot("Vertical", 0, 10, 0, 100), Slot("Amplitude", 100, 10, 0, 100)},
               [](A a, E) { return Finished(Waves(a.value1, a.value2, a.value3)); })
    });
    Section(table, {kFilter, "Other", false}, {
        Dialog(CMD_SEPARATE_CHANNEL, FILTER_SEPARATE_CHANNEL, "Separate Channel...", "separate-channel",
               "Separate Channel", {List("Channel", kColourList)},
               [](A a, E) { return Finished(SeparateChannel(a.listIndex)); }),
        NoDialog(CMD_SOLARIZE, "Solarize", "solarize", [](A, E) { return Solarize(FilterTarget()) == 1; }),
        Dialog(CMD_THRESHOLD, FILTER_THRESHOLD, "Threshold...", "threshold", "Threshold",
               {Slot("Threshold", 128, 10, 0, 255), List("Channels", kThresholdList)},
               [](A a, E) { return Finished(Threshold(SignedByte(a.listIndex), a.value1)); })
    });
    return table;
}

}  // namespace

const std::vector<Operation>& Operations() {
    static const std::vector<Operation> table = MakeOperations();
    return table;
}

const Operation* OperationByCommand(int command) {
    for (const Operation& op : Operations()) {
        if (op.command == command) return &op;
    }
    return nullptr;
}

const Operation* OperationByFilterId(int filterId) {
    if (filterId == FILTER_NONE) return nullptr;
    for (const Operation& op : Operations()) {
        if (op.filterId == filterId) return &op;
    }
    return nullptr;
}

const Operation* OperationByBatchName(const std::string& name) {
    for (const Operation& op : Operations()) {
        if (name == op.batchName) return &op;
    }
    return nullptr;
}

const OperationValue* SlotOf(const Operation& operation, int k) {
    for (const OperationValue& value : operation.values) {
        if (value.kind != ValueKind::Slot) continue;
        if (k-- == 0) return &value;
    }
    return nullptr;
}

const OperationValue* ListOf(const Operation& operation) {
    for (const OperationValue& value : operation.values) {
        if (value.kind == ValueKind::List) return &value;
    }
    return nullptr;
}

BoundInputs CurrentBoundInputs(int gradientStyle) {
    BoundInputs inputs;
    if (const PixelBuffer* target = FilterTarget()) {
        inputs.width = target->Width();
        inputs.height = target->Height();
    }
    inputs.lastTexture = static_cast<int>(TextureNames().size()) - 1;
    inputs.gradientStyle = gradientStyle;
    return inputs;
}

int BoundValue(const Bound& bound, const BoundInputs& inputs) {
    switch (bound.kind) {
        case BoundKind::Number: return bound.number;
        case BoundKind::TargetWidth: return bound.number * inputs.width;
        case BoundKind::TargetHeight: return bound.number * inputs.height;
        case BoundKind::LastTexture: return inputs.lastTexture;
        case BoundKind::GradientStyle: return inputs.gradientStyle;
    }
    return 0;
}

std::string ListItemsText(const OperationValue& list) { return list.items ? list.items : TextureListText(); }

std::string TexturePathOf(int index) {
    const std::vector<std::string> names = TextureNames();
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return std::string();
    return TextureFolder() + "/" + names[static_cast<std::size_t>(index)];
}

FilterArguments InitialArguments(const Operation& operation, const BoundInputs& inputs) {
    std::vector<int> values;
    for (const OperationValue& value : operation.values) values.push_back(BoundValue(value.initial, inputs));
    return Arrange(operation, values);
}

FilterArguments ArgumentsOf(const Operation& operation, const std::vector<int>& values) {
    return Arrange(operation, values);
}
