// What every filter, colour adjustment and geometric operation shares: which buffers it
// reads and writes, the filter identifiers of the parameter dialog, the stop-and-restart
// protocol of the live preview, and the integer sine, arc tangent and square root.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "image/PixelBuffer.h"

// The target is what a filter writes, the source the unchanged copy it reads: the floating
// piece and its undo twin while a piece is on the canvas (tools 9 and 51), otherwise the
// current image's work and undo buffers. Null when there is none.
PixelBuffer* FilterTarget();
PixelBuffer* FilterSource();

// The buffers the filter about to run writes and reads (both 24-bit, of one size).
struct FilterContextRecord {
    PixelBuffer* targetBitmap = nullptr;
    PixelBuffer* sourceBitmap = nullptr;
};

extern FilterContextRecord FilterContext;

// Fills FilterContext from target and source. 0 when there is no source, and also when
// the target is missing or the two are not both 24-bit buffers of one size (a filter would
// otherwise read or write past one of them).
int PrepareFilterContext();

// The filter identifiers (FilterState.FilterId): what the open parameter dialog previews.
enum : std::uint8_t {
    FILTER_NONE = 0,
    FILTER_MOSAIC = 1,
    FILTER_EMBOSS = 2,
    FILTER_THRESHOLD = 3,
    FILTER_ADD_NOISE = 4,
    FILTER_JITTER = 5,
    FILTER_WAVES = 6,
    FILTER_SWIRL = 7,
    FILTER_OFFSET = 8,
    FILTER_SPHERE = 9,
    FILTER_UNSHARP_MASK = 10,
    FILTER_TEXTURE = 11,
    FILTER_GAMMA = 12,
    FILTER_BRIGHTNESS_CONTRAST = 13,
    FILTER_HUE_SATURATION = 14,
    FILTER_ADJUST_RGB = 15,
    FILTER_COLORIZE = 16,
    FILTER_SEPARATE_CHANNEL = 17,
};

// Which channels an adjustment touches, by the index of the list
// "All Channels|Red|Green|Blue|Yellow|Cyan|Magenta". An index outside it selects none.
struct ChannelFlags {
    bool red = false;
    bool green = false;
    bool blue = false;
};
ChannelFlags ChannelMask(int index);

// FilterState.FilterBusy: 0 no pumping filter runs; 1 one runs; 2 the dialog asked for a
// new preview meanwhile.
enum : std::uint8_t { kFilterIdle = 0, kFilterRunning = 1, kFilterRestart = 2 };

// The filter subsystem's state.
struct FilterStateRecord {
    std::uint8_t FilterId = FILTER_NONE;  // the filter the open parameter dialog previews; 0 = none
    std::uint8_t FilterBusy = kFilterIdle;
    // The program's one random generator (NextNoise): starts at 1, never reseeded while the
    // program runs. The spray can and the noise filters continue one sequence.
    std::uint32_t NoiseState = 1;
    // How far the running pumping filter has come, for the dialog to judge whether a new
    // value should stop it: rows in all, and rows begun.
    int pumpedRows = 0;
    int pumpedRowsBegun = 0;
    // Rows [firstRowsBegin, firstRowsEnd) a pumping filter writes before all others; once they
    // are all written it calls firstRowsDone on the calling thread, between two rows or before it returns, and sets
    // firstRowsShown. The live preview puts the rows in the view here, so the view shows the
    // new values while the rest of the picture is still being made. Empty: plain row order.
    int firstRowsBegin = 0;
    int firstRowsEnd = 0;
    std::function<void()> firstRowsDone;
    bool firstRowsShown = false;
};

extern FilterStateRecord FilterState;

// FilterContext and FilterState back to their initial values, the textures found beside the
// program and no helper-thread gate (tests, and a fresh batch run).
void ResetFilterState();

// Called by the pumping filters at the start of every row: hands waiting events on, then
// reports 1 (and clears FilterState.FilterBusy) when the dialog asked for a restart, else 0.
int PumpFilterMessages();

// A quarter wave of the sine in quarter degrees, entry i = trunc(sin(i x 0.004363323) x 32767).
extern std::uint16_t SineTable[361];
// Entry i = atan(i / 256) x 1024, rounded.
extern std::int32_t AtanTable[257];
// Fills SineTable and AtanTable; done once before main, and harmless to repeat.
void InitSineTable();

// The sine of an angle in quarter degrees, times 32767 (-32766 ... 32766); cosine of a is SineQ(a + 360).
int SineQ(int quarterDegrees);
// The angle of the vector (x, y) in radians x 1024, -3217 ... 3217.
int Atan2Fixed(int y, int x);
// An angle in radians x 1024 as quarter degrees, rounding towards minus infinity.
constexpr int FixedAngleToQuarterDegrees(int angle) {
    return static_cast<int>((static_cast<std::int64_t>(angle) * 29335) >> 17);
}
// The largest r with r x r <= n.
std::uint32_t IntegerSqrt(std::uint32_t n);

constexpr int ClampChannel(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

// The values of the parameter dialog, in the order of its slots, plus its list.
struct FilterArguments {
    int value1 = 0;
    int value2 = 0;
    int value3 = 0;
    int listIndex = 0;
    std::string texturePath;  // the textures folder joined with the list's current text
};

// Restores the target from the source, runs the filter FilterState.FilterId with the
// arguments and repaints the canvas. Does nothing and returns 0 when the identifier is 0;
// otherwise returns 1.
int RunFilterPreview(const FilterArguments& arguments);
