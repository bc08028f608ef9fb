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

// One fill over one bitmap: the seed, the fill colour, the tolerance and the stack.
class ScanFill {
public:
    ScanFill(PixelBuffer& bitmap, raster::Colour seed, raster::Colour colour, int tolerance, FillStack& stack)
        : bitmap_(bitmap),
          width_(bitmap.Width()),
          height_(bitmap.Height()),
          tolerance_(tolerance),
          stack_(stack) {
        seed_[0] = raster::BlueOf(seed);
        seed_[1] = raster::GreenOf(seed);
        seed_[2] = raster::RedOf(seed);
        fill_[0] = static_cast<std::uint8_t>(raster::BlueOf(colour));
        fill_[1] = static_cast<std::uint8_t>(raster::GreenOf(colour));
        fill_[2] = static_cast<std::uint8_t>(raster::RedOf(colour));
    }

    // Scans from (x, y) until the stack is empty; false when the stack could not grow.
    bool Run(int x, int y) {
        if (!Push(x, x, y, 1) || !Push(x, x, y + 1, -1)) return false;
        while (!stack_.Empty()) {
            if (!Scan(stack_.Pop())) return false;
        }
        return true;
    }

private:
    bool Inside(const std::uint8_t* p) const {
        const int distance = std::abs(p[0] - seed_[0]) + std::abs(p[1] - seed_[1]) + std::abs(p[2] - seed_[2]);
        return distance <= tolerance_;
    }

    void Paint(std::uint8_t* p) const {
        p[0] = fill_[0];
        p[1] = fill_[1];
        p[2] = fill_[2];
    }

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
        std::uint8_t* line = bitmap_.Row(row);
        int x = s.xl;
        while (x >= 0 && Inside(line + 3 * x)) Paint(line + 3 * x--);
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
            while (x < width_ && Inside(line + 3 * x)) Paint(line + 3 * x++);
            if (!Push(left, x - 1, row, s.dy)) return false;
            if (x > s.xr + 1 && !Push(s.xr + 1, x - 1, row, -s.dy)) return false;
            x = SkipOutside(line, x, s.xr);
            left = x;
            inRun = x <= s.xr;
        }
        return true;
    }

    // The first column after x, up to xr + 1, that is inside.
    int SkipOutside(const std::uint8_t* line, int x, int xr) const {
        ++x;
        while (x <= xr && !Inside(line + 3 * x)) ++x;
        return x;
    }

    PixelBuffer& bitmap_;
    const int width_;
    const int height_;
    const int tolerance_;
    FillStack& stack_;
    int seed_[3] = {};
    std::uint8_t fill_[3] = {};
};

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
    ScanFill fill(bitmap, seed, colour, tolerance, stack);
    const bool complete = fill.Run(x, y);
    stack.Clear();
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
