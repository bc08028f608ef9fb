#include "tools/FloodFill.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "platform/MessageBox.h"

bool FillStack::Prepare(std::size_t records) noexcept {
    records_.clear();
    deepest_ = 0;
    if (mostRecords_ == 0) return false;
    try {
        records_.reserve(std::min(records, mostRecords_));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool FillStack::Push(const FillSegment& segment) noexcept {
    if (records_.size() >= mostRecords_) return false;
    try {
        records_.push_back(segment);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    deepest_ = std::max(deepest_, records_.size());
    return true;
}

std::size_t InitialFillStackRoom(int width, int height) {
    // Most fills need a few records per row; the stack grows beyond this when one needs more.
    constexpr std::size_t kFewRecords = 4096;
    const std::size_t rows = static_cast<std::size_t>(std::max(height, 0));
    const std::size_t columns = static_cast<std::size_t>(std::max(width, 0));
    return std::max(kFewRecords, 2 * (rows + columns));
}

bool WithinTolerance(raster::Colour a, raster::Colour b, int tolerance) {
    const int distance = std::abs(raster::RedOf(a) - raster::RedOf(b)) +
                         std::abs(raster::GreenOf(a) - raster::GreenOf(b)) +
                         std::abs(raster::BlueOf(a) - raster::BlueOf(b));
    return distance <= tolerance;
}

raster::Colour ContrastingColour(raster::Colour seed) {
    const auto turn = [](int channel) { return channel + 128 > 255 ? channel + 128 - 255 : channel + 128; };
    return raster::MakeColour(turn(raster::RedOf(seed)), turn(raster::GreenOf(seed)), turn(raster::BlueOf(seed)));
}

namespace {

// The colour test both fills share: the sum of the channel distances from the seed.
class SeedDistance {
public:
    SeedDistance(raster::Colour seed, int tolerance)
        : seed_{raster::BlueOf(seed), raster::GreenOf(seed), raster::RedOf(seed)}, tolerance_(tolerance) {}
    bool Within(const std::uint8_t* p) const {
        return std::abs(p[0] - seed_[0]) + std::abs(p[1] - seed_[1]) + std::abs(p[2] - seed_[2]) <= tolerance_;
    }

private:
    int seed_[3];
    int tolerance_;
};

// The fill painted into the picture: a painted pixel has the fill colour, which lies outside
// the tolerance, so it stops the scans.
class PaintedPixels {
public:
    PaintedPixels(PixelBuffer& bitmap, raster::Colour seed, raster::Colour colour, int tolerance)
        : bitmap_(bitmap),
          distance_(seed, tolerance),
          fill_{static_cast<std::uint8_t>(raster::BlueOf(colour)), static_cast<std::uint8_t>(raster::GreenOf(colour)),
                static_cast<std::uint8_t>(raster::RedOf(colour))} {}
    using Line = std::uint8_t*;
    Line RowAt(int y) const { return bitmap_.Row(y); }
    bool Inside(Line line, int x) const { return distance_.Within(line + 3 * x); }
    // Paints from x by step while inside, up to end (exclusive); the first column not painted.
    // The loop works on locals: a byte written could be any member, as far as the compiler
    // knows, which would have it read them all again for every pixel.
    int PaintRun(Line line, int x, int end, int step) const {
        const SeedDistance distance = distance_;
        const std::uint8_t blue = fill_[0], green = fill_[1], red = fill_[2];
        for (; x != end && distance.Within(line + 3 * x); x += step) {
            std::uint8_t* p = line + 3 * x;
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
        return x;
    }

private:
    PixelBuffer& bitmap_;
    SeedDistance distance_;
    std::uint8_t fill_[3];
};

// The fill marked in a byte map beside an untouched picture: a marked pixel stops the scans
// as a painted one would. The mark says whether painting would have changed the pixel's blue
// or green byte (kFillMapChanged) or neither (kFillMapReached).
class MarkedMap {
public:
    MarkedMap(const PixelBuffer& bitmap, std::uint8_t* map, raster::Colour seed, raster::Colour colour, int tolerance)
        : bitmap_(bitmap),
          map_(map),
          width_(static_cast<std::size_t>(bitmap.Width())),
          distance_(seed, tolerance),
          fillBlue_(static_cast<std::uint8_t>(raster::BlueOf(colour))),
          fillGreen_(static_cast<std::uint8_t>(raster::GreenOf(colour))) {}
    struct Line {
        const std::uint8_t* pixels;
        std::uint8_t* marks;
    };
    Line RowAt(int y) const { return {bitmap_.Row(y), map_ + static_cast<std::size_t>(y) * width_}; }
    bool Inside(Line line, int x) const { return line.marks[x] == 0 && distance_.Within(line.pixels + 3 * x); }
    // As PaintedPixels::PaintRun, marking.
    int PaintRun(Line line, int x, int end, int step) {
        const SeedDistance distance = distance_;
        const std::uint8_t blue = fillBlue_, green = fillGreen_;
        const std::uint8_t* pixels = line.pixels;
        std::uint8_t* marks = line.marks;
        std::size_t reached = 0;
        for (; x != end && marks[x] == 0 && distance.Within(pixels + 3 * x); x += step) {
            const std::uint8_t* p = pixels + 3 * x;
            const bool changes = p[0] != blue || p[1] != green;
            marks[x] = changes ? kFillMapChanged : kFillMapReached;
            reached += changes ? 0 : 1;
        }
        reachedOnly_ += reached;
        return x;
    }
    std::size_t ReachedOnly() const { return reachedOnly_; }

private:
    const PixelBuffer& bitmap_;
    std::uint8_t* map_;
    std::size_t width_;
    SeedDistance distance_;
    std::uint8_t fillBlue_;
    std::uint8_t fillGreen_;
    std::size_t reachedOnly_ = 0;
};

// One scan-line fill over a target (the picture, or a map beside it), with its stack.
template <class Target>
class ScanFill {
public:
    ScanFill(Target& target, int width, int height, FillStack& stack)
        : target_(target), width_(width), height_(height), stack_(stack) {}

    // Scans from (x, y) until the stack is empty; false when the stack could not grow.
    bool Run(int x, int y) {
        if (!Push(x, x, y, 1) || !Push(x, x, y + 1, -1)) return false;
        while (!stack_.Empty()) {
            if (!Scan(stack_.Pop())) return false;
        }
        return true;
    }

private:
    using Line = typename Target::Line;

    // Records whose row lies outside the picture are never stacked.
    bool Push(int xl, int xr, int y, int dy) {
        const int row = y + dy;
        if (row < 0 || row >= height_) return true;
        return stack_.Push(FillSegment{xl, xr, y, dy});
    }

    // Paints the runs of row y + dy that touch columns xl ... xr of the parent row, and stacks
    // the rows next to each run, on the far side and, where a run leaks past the parent's
    // ends, back on the near side.
    bool Scan(const FillSegment& s) {
        const int row = s.y + s.dy;
        const Line line = target_.RowAt(row);
        int x = target_.PaintRun(line, s.xl, -1, -1);
        int left = x + 1;
        bool inRun = x != s.xl;  // the run reaching back from xl continues to the right
        if (inRun) {
            if (left < s.xl && !Push(left, s.xl - 1, row, -s.dy)) return false;
            x = s.xl + 1;
        } else {
            x = SkipOutside(line, x, s.xr);
            left = x;
            inRun = x <= s.xr;
        }
        while (inRun) {
            x = target_.PaintRun(line, x, width_, 1);
            if (!Push(left, x - 1, row, s.dy)) return false;
            if (x > s.xr + 1 && !Push(s.xr + 1, x - 1, row, -s.dy)) return false;
            x = SkipOutside(line, x, s.xr);
            left = x;
            inRun = x <= s.xr;
        }
        return true;
    }

    // The first column after x, up to xr + 1, that is inside.
    int SkipOutside(Line line, int x, int xr) const {
        ++x;
        while (x <= xr && !target_.Inside(line, x)) ++x;
        return x;
    }

    Target& target_;
    const int width_;
    const int height_;
    FillStack& stack_;
};

template <class Target>
bool RunScanFill(Target& target, int width, int height, int x, int y, FillStack& stack) {
    ScanFill<Target> fill(target, width, height, stack);
    const bool complete = fill.Run(x, y);
    stack.Clear();
    return complete;
}

raster::Colour PixelColour(const PixelBuffer& bitmap, int x, int y) {
    const std::uint8_t* p = bitmap.Row(y) + 3 * x;
    return raster::MakeColour(p[2], p[1], p[0]);
}

}  // namespace

FillOutcome FloodFillPixels(PixelBuffer& bitmap, int x, int y, raster::Colour colour, int tolerance,
                            FillStack& stack) {
    if (bitmap.BitsPerPixel() != 24 || !bitmap.Contains(x, y)) return FillOutcome::Unchanged;
    const raster::Colour seed = PixelColour(bitmap, x, y);
    // A fill colour inside the region would never stop the scans; nothing would change anyway.
    if (WithinTolerance(colour, seed, tolerance)) return FillOutcome::Unchanged;
    PaintedPixels target(bitmap, seed, colour, tolerance);
    return RunScanFill(target, bitmap.Width(), bitmap.Height(), x, y, stack) ? FillOutcome::Filled
                                                                             : FillOutcome::OutOfMemory;
}

FillOutcome FloodFillMap(const PixelBuffer& bitmap, int x, int y, raster::Colour colour, int tolerance,
                         FillStack& stack, std::uint8_t* map, std::size_t* reachedOnly) {
    *reachedOnly = 0;
    if (bitmap.BitsPerPixel() != 24 || !bitmap.Contains(x, y)) return FillOutcome::Unchanged;
    const raster::Colour seed = PixelColour(bitmap, x, y);
    if (WithinTolerance(colour, seed, tolerance)) return FillOutcome::Unchanged;
    MarkedMap target(bitmap, map, seed, colour, tolerance);
    const bool complete = RunScanFill(target, bitmap.Width(), bitmap.Height(), x, y, stack);
    *reachedOnly = target.ReachedOnly();
    return complete ? FillOutcome::Filled : FillOutcome::OutOfMemory;
}

namespace {

void ShowFillOutOfMemory() {
    platform::ShowMessageBox(kFillOutOfMemory, platform::kCaptionProgram, platform::MessageButtons::Ok,
                             platform::MessageIcon::Stop);
}

}  // namespace

int FloodFill(std::uint32_t slot, int x, int y, const FillPaint& paint) {
    FillStack stack;
    return FloodFillWith(stack, slot, x, y, paint);
}

int FloodFillWith(FillStack& stack, std::uint32_t slot, int x, int y, const FillPaint& paint) {
    if (slot == 0 || slot >= kImageSlots) return 0;
    ImageBox& box = ImageBoxTable[slot];
    if (!box.workBitmap || !box.workBitmap->Contains(x, y)) return 0;
    if (!stack.Prepare(InitialFillStackRoom(box.width, box.height))) {
        ShowFillOutOfMemory();
        return 0;
    }
    const bool haveCopy = TakeImageUndo() == 1;
    const raster::Colour seed = PixelColour(*box.workBitmap, x, y);
    const raster::Colour fill = paint.contrasting ? ContrastingColour(seed) : paint.colour;
    const FillOutcome outcome = FloodFillPixels(*box.workBitmap, x, y, fill, paint.tolerance, stack);
    if (outcome != FillOutcome::OutOfMemory) return outcome == FillOutcome::Filled ? 1 : 0;
    // Half a fill is no fill: the copy just taken holds the picture as it was.
    if (haveCopy) CopyPixels(box.workBitmap, box.undoBitmap);
    ShowFillOutOfMemory();
    return 0;
}

int WandFillOfEqualCopy(std::uint32_t slot, int x, int y, int tolerance, std::uint8_t* map) {
    if (slot == 0 || slot >= kImageSlots) return 0;
    ImageBox& box = ImageBoxTable[slot];
    if (!box.workBitmap || !box.workBitmap->Contains(x, y)) return 0;
    FillStack stack;
    if (!stack.Prepare(InitialFillStackRoom(box.width, box.height))) {
        ShowFillOutOfMemory();
        return 0;
    }
    // The undo level's records as the painted fill's copy sets them; the pixels are there.
    TakeImageUndoOfEqualCopy();
    const raster::Colour seed = PixelColour(*box.workBitmap, x, y);
    std::size_t reachedOnly = 0;
    const FillOutcome outcome = FloodFillMap(*box.workBitmap, x, y, ContrastingColour(seed), tolerance, stack, map,
                                             &reachedOnly);
    if (outcome == FillOutcome::OutOfMemory) {
        ShowFillOutOfMemory();
        return 0;
    }
    if (outcome != FillOutcome::Filled) return 0;
    // Pixels the painted fill would have left as they were are not selected.
    if (reachedOnly > 0) {
        const std::size_t bytes = static_cast<std::size_t>(box.workBitmap->Width()) *
                                  static_cast<std::size_t>(box.workBitmap->Height());
        std::replace(map, map + bytes, kFillMapReached, std::uint8_t{0});
    }
    return 1;
}
