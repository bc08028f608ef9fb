#include <cstdint>

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/CreativeFilters.h"
#include "filters/DistortFilters.h"
#include "filters/EdgeFilters.h"
#include "filters/FilterEngine.h"
#include "filters/NoiseFilters.h"
#include "image/ImageSlots.h"
#include "image/View.h"
#include "shell/PaintSettings.h"
#include "tools/ToolIds.h"

namespace {

// The dialog's list index and cell size reach these filters as signed bytes.
int SignedByte(int value) { return static_cast<std::int8_t>(value); }

void RunFilterById(const FilterArguments& a) {
    switch (FilterId) {
        case FILTER_MOSAIC: Mosaic(SignedByte(a.value1)); break;
        case FILTER_EMBOSS: Emboss(a.value1, SignedByte(a.listIndex)); break;
        case FILTER_THRESHOLD: Threshold(SignedByte(a.listIndex), a.value1); break;
        case FILTER_ADD_NOISE: AddNoise(SignedByte(a.listIndex), a.value1); break;
        case FILTER_JITTER: Jitter(a.value1); break;
        case FILTER_WAVES: Waves(a.value1, a.value2, a.value3); break;
        case FILTER_SWIRL: Swirl(a.value1, a.value2); break;
        case FILTER_OFFSET: Offset(a.value1, a.value2); break;
        case FILTER_SPHERE: Sphere(a.value1); break;
        case FILTER_UNSHARP_MASK: UnsharpMask(a.value1, a.value2); break;
        case FILTER_TEXTURE: Texture(FilterTarget(), a.texturePath, a.value1); break;
        case FILTER_GAMMA: {
            const ChannelFlags c = ChannelMask(a.listIndex);
            ApplyLevels(0, 0, static_cast<float>(a.value1), c.red, c.green, c.blue);
            break;
        }
        case FILTER_BRIGHTNESS_CONTRAST: {
            const ChannelFlags c = ChannelMask(a.listIndex);
            ApplyLevels(a.value1, a.value2, 0.0f, c.red, c.green, c.blue);
            break;
        }
        case FILTER_HUE_SATURATION:
            HueSaturation(static_cast<float>(a.value1), static_cast<float>(a.value2), static_cast<float>(a.value3));
            break;
        case FILTER_ADJUST_RGB: AdjustRgb(a.value1, a.value2, a.value3); break;
        case FILTER_COLORIZE:
            Colorize(static_cast<float>(a.value1), static_cast<float>(a.value2), static_cast<float>(a.value3));
            break;
        case FILTER_SEPARATE_CHANNEL: SeparateChannel(a.listIndex); break;
        default: break;
    }
}

}  // namespace

int RunFilterPreview(const FilterArguments& arguments) {
    if (FilterId == FILTER_NONE) return 0;
    CopyPixels(FilterTarget(), FilterSource());
    RunFilterById(arguments);
    if (PaintSettings.Tool == kToolFloatingPiece) {
        ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false);
    } else {
        RepaintView(true);
    }
    return 1;
}
