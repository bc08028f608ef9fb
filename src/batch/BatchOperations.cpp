#include "batch/BatchOperations.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/CreativeFilters.h"
#include "filters/DistortFilters.h"
#include "filters/EdgeFilters.h"
#include "filters/FilterEngine.h"
#include "filters/Geometry.h"
#include "filters/NoiseFilters.h"
#include "filters/Resize.h"
#include "filters/TextureList.h"
#include "image/ImageSlots.h"
#include "shell/PaintSettings.h"

namespace {

constexpr const char* kChannelList = "All Channels|Red|Green|Blue|Yellow|Cyan|Magenta";
constexpr const char* kThresholdList = "RGB to Monochrome|RGB to Color|Red Channel|Green Channel|Blue Channel";
constexpr const char* kLightList = "Top Left|Top|Top Right|Left|Right|Bottom Left|Bottom|Bottom Right";
constexpr const char* kColourList = "Red|Green|Blue";
constexpr const char* kStyleList = "Monochrome|Color";
constexpr const char* kResampleList = "Interpolated|Nearest Neighbor";

constexpr Bound N(int number) { return Bound{BoundKind::Number, number}; }
constexpr Bound kWidth{BoundKind::ImageWidth, 1};
constexpr Bound kMinusWidth{BoundKind::ImageWidth, -1};
constexpr Bound kHeight{BoundKind::ImageHeight, 1};
constexpr Bound kMinusHeight{BoundKind::ImageHeight, -1};
constexpr Bound kLastTexture{BoundKind::LastTexture, 0};
constexpr Bound kGradient{BoundKind::GradientStyle, 0};

BatchParameter Slot(const char* label, int minimum, int maximum, int initial) {
    return BatchParameter{label, N(minimum), N(maximum), N(initial), nullptr};
}

BatchParameter List(const char* label, const char* items, int initial = 0) {
    int last = 0;
    for (const char* c = items; *c; ++c) last += (*c == '|');
    return BatchParameter{label, N(0), N(last), N(initial), items};
}

bool Convolve(const ConvolutionKernel& kernel) {
    Convolve3x3(FilterSource(), FilterTarget(), kernel);
    return true;
}

bool Levels(int brightness, int contrast, float gamma, int channels) {
    const ChannelFlags mask = ChannelMask(channels);
    ApplyLevels(brightness, contrast, gamma, mask.red, mask.green, mask.blue);
    return true;
}

bool RunTexture(const std::vector<int>& v, std::string& error) {
    const std::vector<std::string> names = TextureNames();
    const std::string path = TextureFolder() + "/" + names[static_cast<std::size_t>(v[1])];
    if (Texture(FilterTarget(), path, v[0])) return true;
    error = "cannot use \"" + path + "\" as a texture";
    return false;
}

// The operations in the order of the program's menus.
std::vector<BatchOperation> MakeOperations() {
    using V = const std::vector<int>&;
    using E = std::string&;
    return {
        {"brightness-contrast",
         {Slot("Brightness", -100, 100, 0), Slot("Contrast", -100, 100, 0), List("Channels", kChannelList)},
         [](V v, E) { return Levels(v[0], v[1], 0.0f, v[2]); }},
        {"hue-saturation",
         {Slot("Hue", -180, 180, 0), Slot("Saturation", -100, 100, 0), Slot("Luminance", -100, 100, 0)},
         [](V v, E) {
             HueSaturation(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
             return true;
         }},
        {"gamma", {Slot("Gamma", 10, 500, 100), List("Channels", kChannelList)},
         [](V v, E) { return Levels(0, 0, static_cast<float>(v[0]), v[1]); }},
        {"adjust-rgb", {Slot("Red", -255, 255, 0), Slot("Green", -255, 255, 0), Slot("Blue", -255, 255, 0)},
         [](V v, E) {
             AdjustRgb(v[0], v[1], v[2]);
             return true;
         }},
        {"colorize", {Slot("Hue", -180, 180, 0), Slot("Saturation", -100, 100, 0), Slot("Luminance", -100, 100, 0)},
         [](V v, E) {
             Colorize(static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2]));
             return true;
         }},
        {"invert", {}, [](V, E) { return Invert(FilterTarget()) == 1; }},
        {"grayscale", {}, [](V, E) { return Grayscale(FilterTarget()) == 1; }},
        {"rotate-180", {}, [](V, E) { return FlipHorizontal() == 1 && FlipVertical() == 1; }},
        {"rotate-90-cw", {}, [](V, E) { return Rotate90(true) == 1; }},
        {"rotate-90-ccw", {}, [](V, E) { return Rotate90(false) == 1; }},
        {"rotate", {Slot("Angle", -180, 180, 0)}, [](V v, E) { return RotateArbitrary(static_cast<float>(v[0])) == 1; }},
        {"flip-horizontal", {}, [](V, E) { return FlipHorizontal() == 1; }},
        {"flip-vertical", {}, [](V, E) { return FlipVertical() == 1; }},
        {"image-size",
         {BatchParameter{"Width", N(1), N(kMaxImageSide), kWidth, nullptr},
          BatchParameter{"Height", N(1), N(kMaxImageSide), kHeight, nullptr}, List("Resample Mode", kResampleList),
          Slot("Resize Image", 0, 1, 1)},
         // The list's first entry is "Interpolated", mode 1 of the resampler.
         [](V v, E) { return ResizePixels(v[0], v[1], 1 - v[2], v[3]) == 1; }},
        {"blur-low", {}, [](V, E) { return Convolve(kLowGaussianBlur); }},
        {"blur-medium", {}, [](V, E) { return Convolve(kMediumGaussianBlur); }},
        {"blur-strong", {}, [](V, E) { return Convolve(kStrongGaussianBlur); }},
        {"average", {}, [](V, E) { return Convolve(kAverageBlur); }},
        {"sharpen-low", {}, [](V, E) { return Convolve(kLowSharpen); }},
        {"sharpen-medium", {}, [](V, E) { return Convolve(kMediumSharpen); }},
        {"sharpen-strong", {}, [](V, E) { return Convolve(kStrongSharpen); }},
        {"unsharp-mask", {Slot("Amount", 0, 999, 0), Slot("Radius", 1, 4, 1)},
         [](V v, E) {
             UnsharpMask(v[0], v[1]);
             return true;
         }},
        {"despeckle", {},
         [](V, E) {
             Despeckle(FilterSource(), FilterTarget());
             return true;
         }},
        {"add-noise", {Slot("Amount", 0, 100, 50), List("Style", kStyleList)},
         [](V v, E) {
             AddNoise(v[1], v[0]);
             return true;
         }},
        {"jitter", {Slot("Amount", 0, 100, 0)},
         [](V v, E) {
             Jitter(v[0]);
             return true;
         }},
        {"edge-detect", {},
         [](V, E) {
             EdgeDetect();
             return true;
         }},
        {"emboss", {Slot("Intensity", 0, 100, 100), BatchParameter{"Light", N(0), N(7), kGradient, kLightList}},
         [](V v, E) {
             Emboss(v[0], v[1]);
             return true;
         }},
        {"find-contours", {},
         [](V, E) {
             FindContours(FilterSource(), FilterTarget());
             return true;
         }},
        {"texture", {Slot("Threshold", 0, 255, 128), BatchParameter{"Texture", N(0), kLastTexture, N(0), nullptr}},
         RunTexture},
        {"mosaic", {Slot("Pixels", 2, 16, 2)},
         [](V v, E) {
             Mosaic(v[0]);
             return true;
         }},
        {"oilpaint", {},
         [](V, E) {
             Oilpaint();
             return true;
         }},
        {"offset",
         {BatchParameter{"Horizontal", kMinusWidth, kWidth, N(0), nullptr},
          BatchParameter{"Vertical", kMinusHeight, kHeight, N(0), nullptr}},
         [](V v, E) {
             Offset(v[0], v[1]);
             return true;
         }},
        {"sphere", {Slot("Amount", -100, 100, 0)},
         [](V v, E) {
             Sphere(v[0]);
             return true;
         }},
        {"swirl", {Slot("Rotations", -8, 8, 0), Slot("Degrees", -359, 359, 0)},
         [](V v, E) {
             Swirl(v[0], v[1]);
             return true;
         }},
        {"waves", {Slot("Horizontal", 0, 100, 0), Slot("Vertical", 0, 100, 0), Slot("Amplitude", 0, 100, 100)},
         [](V v, E) {
             Waves(v[0], v[1], v[2]);
             return true;
         }},
        {"separate-channel", {List("Channel", kColourList)},
         [](V v, E) {
             SeparateChannel(v[0]);
             return true;
         }},
        {"solarize", {}, [](V, E) { return Solarize(FilterTarget()) == 1; }},
        {"threshold", {Slot("Threshold", 0, 255, 128), List("Channels", kThresholdList)},
         [](V v, E) {
             Threshold(v[1], v[0]);
             return true;
         }},
    };
}

// A decimal integer with an optional sign and nothing else.
bool ParseInteger(std::string_view text, int& value) {
    if (text.empty() || text.size() > 12) return false;
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size()) return false;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
    }
    const std::string copy(text);
    errno = 0;
    const long number = std::strtol(copy.c_str(), nullptr, 10);
    if (errno != 0 || number < INT_MIN || number > INT_MAX) return false;
    value = static_cast<int>(number);
    return true;
}

std::string RangeError(const BatchOperation& op, const BatchParameter& p, int value, const std::string& low,
                       const std::string& high) {
    return std::string(op.name) + ": " + p.label + " " + std::to_string(value) + " is outside " + low + " ... " + high;
}

// "Red|Green" as "0 Red, 1 Green".
std::string NumberedItems(const char* items) {
    std::string text = "0 ";
    int index = 0;
    for (const char* c = items; *c; ++c) {
        if (*c == '|') {
            text += ", " + std::to_string(++index) + " ";
        } else {
            text += *c;
        }
    }
    return text;
}

}  // namespace

const std::vector<BatchOperation>& BatchOperations() {
    static const std::vector<BatchOperation> operations = MakeOperations();
    return operations;
}

const BatchOperation* FindBatchOperation(const std::string& name) {
    for (const BatchOperation& op : BatchOperations()) {
        if (name == op.name) return &op;
    }
    return nullptr;
}

int BoundValue(const Bound& bound) {
    switch (bound.kind) {
        case BoundKind::Number: return bound.number;
        case BoundKind::ImageWidth: return bound.number * CurrentBox().width;
        case BoundKind::ImageHeight: return bound.number * CurrentBox().height;
        case BoundKind::LastTexture: return static_cast<int>(TextureNames().size()) - 1;
        case BoundKind::GradientStyle: return PaintSettings.Gradient;
    }
    return 0;
}

std::string BoundText(const Bound& bound) {
    switch (bound.kind) {
        case BoundKind::Number: return std::to_string(bound.number);
        case BoundKind::ImageWidth: return bound.number < 0 ? "-width" : "width";
        case BoundKind::ImageHeight: return bound.number < 0 ? "-height" : "height";
        case BoundKind::LastTexture: return "last texture";
        case BoundKind::GradientStyle: return std::to_string(PaintSettings.Gradient);
    }
    return std::string();
}

bool ParseBatchStep(const std::string& text, BatchStep& step, std::string& error) {
    const std::size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    step = BatchStep{};
    step.operation = FindBatchOperation(name);
    if (!step.operation) {
        error = "unknown operation \"" + name + "\" (--list shows them all)";
        return false;
    }
    if (equals == std::string::npos) return true;
    const std::string_view values = std::string_view(text).substr(equals + 1);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = values.find(',', start);
        const std::string_view item = values.substr(start, comma == std::string_view::npos ? comma : comma - start);
        int value = 0;
        if (!ParseInteger(item, value)) {
            error = name + ": \"" + std::string(item) + "\" is not a whole number";
            return false;
        }
        step.given.push_back(value);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    const std::size_t room = step.operation->parameters.size();
    if (step.given.size() > room) {
        error = name + " takes " + (room == 0 ? std::string("no values") : "at most " + std::to_string(room)) +
                ", not " + std::to_string(step.given.size());
        return false;
    }
    return true;
}

bool CheckFixedRanges(const BatchStep& step, std::string& error) {
    const BatchOperation& op = *step.operation;
    for (std::size_t i = 0; i < step.given.size(); ++i) {
        const BatchParameter& p = op.parameters[i];
        const int v = step.given[i];
        const bool below = p.minimum.kind == BoundKind::Number && v < p.minimum.number;
        const bool above = p.maximum.kind == BoundKind::Number && v > p.maximum.number;
        if (below || above) {
            error = RangeError(op, p, v, BoundText(p.minimum), BoundText(p.maximum));
            return false;
        }
    }
    return true;
}

bool ResolveBatchValues(const BatchStep& step, std::vector<int>& values, std::string& error) {
    const BatchOperation& op = *step.operation;
    values.clear();
    for (std::size_t i = 0; i < op.parameters.size(); ++i) {
        const BatchParameter& p = op.parameters[i];
        const int low = BoundValue(p.minimum);
        const int high = BoundValue(p.maximum);
        if (high < low) {
            error = std::string(op.name) + ": there is no " + p.label + " to choose" +
                    (p.maximum.kind == BoundKind::LastTexture ? " in " + TextureFolder() : std::string());
            return false;
        }
        const int v = i < step.given.size() ? step.given[i] : BoundValue(p.initial);
        if (v < low || v > high) {
            error = RangeError(op, p, v, std::to_string(low), std::to_string(high));
            return false;
        }
        values.push_back(v);
    }
    return true;
}

std::string BatchOperationList() {
    std::string text = "pixelwright-batch [--time] INPUT OUTPUT [OPERATION ...]\n"
                       "OPERATION is NAME or NAME=V1,V2,...: the values in the order below; missing ones take the\n"
                       "initial value. OUTPUT ends in .bmp, .jpg or .png. --time prints each operation's time.\n\n";
    for (const BatchOperation& op : BatchOperations()) {
        text += op.name;
        text += '\n';
        for (const BatchParameter& p : op.parameters) {
            text += std::string("  ") + p.label + ": " + BoundText(p.minimum) + " ... " + BoundText(p.maximum) +
                    ", initial " + (p.initial.kind == BoundKind::ImageWidth    ? std::string("the image's width")
                                    : p.initial.kind == BoundKind::ImageHeight ? std::string("the image's height")
                                                                               : BoundText(p.initial));
            if (p.items) text += " (" + NumberedItems(p.items) + ")";
            if (p.maximum.kind == BoundKind::LastTexture) {
                const std::string names = TextureListText();
                text += " (" + (names.empty() ? std::string("none") : names) + " in " + TextureFolder() + ")";
            }
            text += '\n';
        }
    }
    return text;
}
