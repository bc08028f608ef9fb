#include "filters/FilterEngine.h"

#include <cmath>

#include "filters/PumpedRows.h"
#include "filters/TextureList.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "platform/FilterPump.h"

FilterContextRecord FilterContext;
FilterStateRecord FilterState;
std::uint16_t SineTable[361];
std::int32_t AtanTable[257];

namespace {

// Filled before main, so that no filter running on two threads races to fill them.
[[maybe_unused]] const bool g_tablesFilled = (InitSineTable(), true);

}  // namespace

void ResetFilterState() {
    FilterContext = FilterContextRecord{};
    FilterState = FilterStateRecord{};
    SetTextureFolder("");
    PumpedRowsHelperGate = nullptr;
}

PixelBuffer* FilterTarget() {
    if (PieceOnCanvas()) return FloatingPiece.pieceDc ? FloatingPiece.pieceBitmap : nullptr;
    if (ImageState.CurrentImage == 0) return nullptr;
    return CurrentBox().workBitmap;
}

PixelBuffer* FilterSource() {
    if (PieceOnCanvas()) {
        if (!FloatingPiece.pieceDc) return nullptr;
        FillBlankPieceTwins();
        return FloatingPiece.pieceUndoBitmap;
    }
    if (ImageState.CurrentImage == 0) return nullptr;
    return CurrentBox().undoBitmap;
}

int PrepareFilterContext() {
    PixelBuffer* source = FilterSource();
    PixelBuffer* target = FilterTarget();
    if (!source || !target) return 0;
    if (source->BitsPerPixel() != 24 || target->BitsPerPixel() != 24) return 0;
    if (source->Width() != target->Width() || source->Height() != target->Height()) return 0;
    FilterContext.targetBitmap = target;
    FilterContext.sourceBitmap = source;
    return 1;
}

ChannelFlags ChannelMask(int index) {
    static constexpr ChannelFlags kTable[7] = {
        {true, true, true},   // All Channels
        {true, false, false}, // Red
        {false, true, false}, // Green
        {false, false, true}, // Blue
        {true, true, false},  // Yellow
        {false, true, true},  // Cyan
        {true, false, true},  // Magenta
    };
    if (index < 0 || index > 6) return ChannelFlags{};
    return kTable[index];
}

int PumpFilterMessages() {
    platform::PumpFilterMessages();
    if (FilterState.FilterBusy >= kFilterRestart) {
        FilterState.FilterBusy = kFilterIdle;
        return 1;
    }
    return 0;
}

void InitSineTable() {
    for (int i = 0; i <= 360; ++i) {
        // The angle is formed in single precision, the sine and its scaling in double.
        const float angle = static_cast<float>(i) * 0.004363323f;
        SineTable[i] = static_cast<std::uint16_t>(std::sin(static_cast<double>(angle)) * 32767.0);
    }
    for (int i = 0; i <= 256; ++i) {
        AtanTable[i] = static_cast<std::int32_t>(std::lround(std::atan(i / 256.0) * 1024.0));
    }
}

int SineQ(int a) {
    a %= 1440;
    if (a < 0) a += 1440;
    switch (a / 360) {
        case 0: return SineTable[a];
        case 1: return SineTable[720 - a];
        case 2: return -SineTable[a - 720];
        default: return -SineTable[1440 - a];
    }
}

int Atan2Fixed(int y, int x) {
    if (x == 0 && y == 0) return 0;
    const std::int64_t ay = y < 0 ? -static_cast<std::int64_t>(y) : y;
    const std::int64_t ax = x < 0 ? -static_cast<std::int64_t>(x) : x;
    const int a = ay > ax ? 1608 - AtanTable[(ax * 256) / ay] : AtanTable[(ay * 256) / ax];
    if (x >= 0) return y < 0 ? -a : a;
    return y < 0 ? a - 3217 : 3217 - a;
}

std::uint32_t IntegerSqrt(std::uint32_t n) {
    std::uint32_t r = 0;
    for (std::uint32_t bit = 32768; bit != 0; bit >>= 1) {
        const std::uint32_t t = r | bit;
        if (t * t <= n) r = t;
    }
    return r;
}
