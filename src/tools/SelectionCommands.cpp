#include "tools/SelectionCommands.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/raster/ParallelRows.h"
#include "image/MaskRuns.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/MessageBox.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "filters/TargetBuffers.h"
#include "tools/FloatingPieceTool.h"
#include "tools/Selection.h"
#include "image/ToolIds.h"

namespace {

bool HeldPieceWithMask() { return FloatingPiece.pieceDc && FloatingPiece.maskBitmap; }

// A floating piece is put down where it floats before a new selection is made from the image.
// Whether one was.
bool DropIfFloating() {
    if (!PieceOnCanvas()) return false;
    ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
    return true;
}

// The common ending: the scratch becomes the piece, which is lifted. When nothing results,
// a piece put down at the start stays down: the Select group's tool takes over, so the held
// piece does not float again over its own copy.
int FinishCommandSelection(bool dropped, int made = -1) {
    if ((made < 0 ? MakePieceFromScratch() : made) != 1) {
        if (dropped) PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
        RepaintWholeView();
        return 0;
    }
    LiftPiece();
    PaintSettings.Group = 0;
    return 1;
}

void PlacePieceAtViewOrigin() {
    const raster::Point at = PastePlace(0, 0, nullptr);
    FloatingPiece.pieceX = at.x;
    FloatingPiece.pieceY = at.y;
}

PixelBuffer* Scratch() { return CurrentBox().workBitmap; }

}  // namespace

int SelectAll() {
    if (!Scratch()) return 0;
    const bool dropped = DropIfFloating();
    TakeImageUndo();
    if (NewSelectionReplacesPiece()) {
        return FinishCommandSelection(dropped, MakePieceFromRectangle(0, 0, Scratch()->Width(), Scratch()->Height()));
    }
    FillScratch(*Scratch(), true);
    return FinishCommandSelection(dropped);
}

namespace {

// The part of the held piece's mask that lies on the map: mask columns [firstCol, endCol) of
// mask rows [firstRow, endRow), drawn at (x + column, y + row).
struct MaskOnMap {
    int x = 0, y = 0, firstCol = 0, endCol = 0, firstRow = 0, endRow = 0;
    bool Empty() const { return firstCol >= endCol || firstRow >= endRow; }
};

MaskOnMap PlaceOnMap(const PixelBuffer& mask, int x, int y, int width, int height, const SelectionMap& map) {
    MaskOnMap place;
    place.x = x;
    place.y = y;
    place.firstCol = std::max(0, -x);
    place.endCol = std::min({width, mask.Width(), map.Width() - x});
    place.firstRow = std::max(0, -y);
    place.endRow = std::min({height, mask.Height(), map.Height() - y});
    return place;
}

// The held piece's unselected pixels and everything outside the piece.
void InverseMap(SelectionMap& map) {
    const FloatingPieceRecord& p = FloatingPiece;
    const bool held = HeldPieceWithMask();
    const MaskOnMap place = held ? PlaceOnMap(*p.maskBitmap, p.pieceX, p.pieceY, static_cast<int>(p.pieceWidth),
                                              static_cast<int>(p.pieceHeight), map)
                                 : MaskOnMap{};
    RunRowsInParallel(map.Height(), map.Width(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* row = map.Row(y);
            std::memset(row, kSelectionMapIn, static_cast<std::size_t>(map.Width()));
            const int my = y - place.y;
            if (place.Empty() || my < place.firstRow || my >= place.endRow) continue;
            const std::uint8_t* m = p.maskBitmap->Row(my);
            std::uint8_t* out = row + place.x;
            for (int c = place.firstCol; c < place.endCol; ++c) out[c] = m[c] != kMaskOutside ? 0 : kSelectionMapIn;
        }
    });
}

}  // namespace

int InverseSelection() {
    if (!Scratch()) return 0;
    const bool dropped = DropIfFloating();
    TakeImageUndo();
    if (NewSelectionReplacesPiece()) {
        SelectionMap map(Scratch()->Width(), Scratch()->Height());
        if (map.Ok()) {
            InverseMap(map);
            return FinishCommandSelection(dropped, MakePieceFromMap(map));
        }
    }
    FillScratch(*Scratch(), true);
    if (HeldPieceWithMask()) {
        const FloatingPieceRecord& p = FloatingPiece;
        MaskedBlit(*Scratch(), p.pieceX, p.pieceY, static_cast<int>(p.pieceWidth), static_cast<int>(p.pieceHeight),
                   nullptr, p.maskBitmap, 0, 0, BlitMode::Inverted);
    }
    return FinishCommandSelection(dropped);
}

namespace {

// The mask grown by one pixel in all eight directions, one pixel larger on every side: the
// union of the mask at the nine offsets, made once instead of nine passes over the image.
std::unique_ptr<PixelBuffer> GrownMask(const PixelBuffer& mask) {
    const int w = mask.Width();
    const int h = mask.Height();
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> grown = CreatePixelBuffer(w + 2, h + 2, 8, header, nullptr);
    if (!grown) return nullptr;
    std::memset(grown->Bits(), 0, grown->ByteSize());
    // A run of x .. last - 1 of a mask row covers x .. last + 1 of the grown rows y .. y + 2,
    // one wider on each side and one above and below.
    for (int y = 0; y < h; ++y) {
        maskruns::ForEachSelectedRun(mask.Row(y), 0, w, [&](int first, int last) {
            for (int dy = 0; dy < 3; ++dy) {
                std::memset(grown->Row(y + dy) + first, kMaskInside, static_cast<std::size_t>(last - first + 2));
            }
        });
    }
    return grown;
}

// The grown mask (null: none) one pixel up and left of the held piece, on an empty map.
void GrownMap(SelectionMap& map, const PixelBuffer* grown) {
    const FloatingPieceRecord& p = FloatingPiece;
    const MaskOnMap place = grown ? PlaceOnMap(*grown, p.pieceX - 1, p.pieceY - 1, grown->Width(), grown->Height(), map)
                                  : MaskOnMap{};
    RunRowsInParallel(map.Height(), map.Width(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* row = map.Row(y);
            std::memset(row, 0, static_cast<std::size_t>(map.Width()));
            const int my = y - place.y;
            if (place.Empty() || my < place.firstRow || my >= place.endRow) continue;
            const std::uint8_t* m = grown->Row(my);
            std::uint8_t* out = row + place.x;
            for (int c = place.firstCol; c < place.endCol; ++c) out[c] = m[c] != kMaskOutside ? kSelectionMapIn : 0;
        }
    });
}

}  // namespace

int GrowSelection() {
    if (!Scratch()) return 0;
    const bool dropped = DropIfFloating();
    TakeImageUndo();
    if (NewSelectionReplacesPiece()) {
        SelectionMap map(Scratch()->Width(), Scratch()->Height());
        std::unique_ptr<PixelBuffer> grown = HeldPieceWithMask() ? GrownMask(*FloatingPiece.maskBitmap) : nullptr;
        if (map.Ok() && (grown || !HeldPieceWithMask())) {
            GrownMap(map, grown.get());
            return FinishCommandSelection(dropped, MakePieceFromMap(map));
        }
    }
    FillScratch(*Scratch(), false);
    if (HeldPieceWithMask()) {
        const FloatingPieceRecord& p = FloatingPiece;
        std::unique_ptr<PixelBuffer> grown = GrownMask(*p.maskBitmap);
        if (!grown) {
            CopyPixels(Scratch(), CurrentBox().undoBitmap);
            platform::ShowMessageBox(kNoMemoryBrush, platform::kCaptionOutOfMemory, platform::MessageButtons::Ok,
                                     platform::MessageIcon::Stop);
            return 0;
        }
        MaskedBlit(*Scratch(), p.pieceX - 1, p.pieceY - 1, grown->Width(), grown->Height(), nullptr, grown.get(), 0, 0,
                   BlitMode::Union);
    }
    return FinishCommandSelection(dropped);
}

namespace {

// The lowest and highest byte of each channel over the selected pixels, 16 pixels at a time:
// place k of a 48-byte block holds channel k % 3, so the blocks need no shuffling.
struct ChannelRange {
    std::array<std::uint8_t, 48> low;
    std::array<std::uint8_t, 48> high;

    ChannelRange() {
        low.fill(255);
        high.fill(0);
    }
    // The pixels of a row whose mask bytes are selected (not kMaskOutside). Sixteen at a time,
    // each pixel's bytes kept by its mask byte (an unselected pixel counts as white for the
    // lowest and black for the highest); the bytes are worked on in local copies, as the
    // compiler cannot tell the members from the pixels read.
    void AddSelectedPixels(const std::uint8_t* p, const std::uint8_t* m, int count) {
        std::array<std::uint8_t, 48> lo = low;
        std::array<std::uint8_t, 48> hi = high;
        int i = 0;
        for (; i + 16 <= count; i += 16, p += 48, m += 16) {
            const std::uint64_t left = maskruns::Load8(m);
            const std::uint64_t right = maskruns::Load8(m + 8);
            if ((left | right) == 0) continue;
            std::array<std::uint8_t, 48> keep;
            if (!maskruns::HasZeroByte(left) && !maskruns::HasZeroByte(right)) {
                keep.fill(0xFF);
            } else {
                for (std::size_t j = 0; j < 16; ++j) {
                    const std::uint8_t k = m[j] != kMaskOutside ? 0xFF : 0;
                    keep[3 * j] = k;
                    keep[3 * j + 1] = k;
                    keep[3 * j + 2] = k;
                }
            }
            for (std::size_t k = 0; k < 48; ++k) {
                lo[k] = std::min(lo[k], static_cast<std::uint8_t>(p[k] | ~keep[k]));
                hi[k] = std::max(hi[k], static_cast<std::uint8_t>(p[k] & keep[k]));
            }
        }
        for (; i < count; ++i, p += 3, ++m) {
            if (*m == kMaskOutside) continue;
            for (std::size_t c = 0; c < 3; ++c) {
                lo[c] = std::min(lo[c], p[c]);
                hi[c] = std::max(hi[c], p[c]);
            }
        }
        low = lo;
        high = hi;
    }
    void Add(const ChannelRange& other) {
        for (std::size_t k = 0; k < 48; ++k) {
            low[k] = std::min(low[k], other.low[k]);
            high[k] = std::max(high[k], other.high[k]);
        }
    }
};

// The channels' ranges over the held piece's selected pixels, its rows shared between the cores.
std::array<std::array<int, 3>, 2> SelectedRange() {
    const FloatingPieceRecord& p = FloatingPiece;
    const int w = static_cast<int>(p.pieceWidth);
    std::vector<ChannelRange> bands(static_cast<std::size_t>(kMostRowThreads));
    RunBandsInParallel(static_cast<int>(p.pieceHeight), w, [&](int band, int first, int end) {
        ChannelRange& range = bands[static_cast<std::size_t>(band)];
        for (int y = first; y < end; ++y) range.AddSelectedPixels(p.pieceBitmap->Row(y), p.maskBitmap->Row(y), w);
    });
    ChannelRange all;
    for (const ChannelRange& range : bands) all.Add(range);
    std::array<std::array<int, 3>, 2> lowHigh{{{255, 255, 255}, {0, 0, 0}}};
    for (std::size_t k = 0; k < 48; ++k) {
        lowHigh[0][k % 3] = std::min<int>(lowHigh[0][k % 3], all.low[k]);
        lowHigh[1][k % 3] = std::max<int>(lowHigh[1][k % 3], all.high[k]);
    }
    return lowHigh;
}

// One row of Select Similar's map: in where every channel lies within its range. Sixteen
// pixels at a time, each byte of the block tested against its channel's range (a byte within
// low ... high is one whose distance above low, wrapping round, is at most high - low).
void SimilarRow(const std::uint8_t* pixels, int width, const std::array<int, 3>& low, const std::array<int, 3>& high,
                std::uint8_t* out) {
    if (low[0] > high[0] || low[1] > high[1] || low[2] > high[2]) {
        std::memset(out, 0, static_cast<std::size_t>(width));  // no range: nothing is similar
        return;
    }
    std::array<std::uint8_t, 48> lowBytes;
    std::array<std::uint8_t, 48> spans;
    for (std::size_t k = 0; k < 48; ++k) {
        lowBytes[k] = static_cast<std::uint8_t>(low[k % 3]);
        spans[k] = static_cast<std::uint8_t>(high[k % 3] - low[k % 3]);
    }
    int x = 0;
    for (; x + 16 <= width; x += 16, pixels += 48) {
        std::array<std::uint8_t, 48> within;
        for (std::size_t k = 0; k < 48; ++k) {
            within[k] = static_cast<std::uint8_t>(pixels[k] - lowBytes[k]) <= spans[k] ? 0xFF : 0;
        }
        for (std::size_t i = 0; i < 16; ++i) {
            out[x + static_cast<int>(i)] = static_cast<std::uint8_t>(within[3 * i] & within[3 * i + 1] & within[3 * i + 2]);
        }
    }
    for (; x < width; ++x, pixels += 3) {
        bool in = true;
        for (std::size_t c = 0; c < 3; ++c) in = in && pixels[c] >= low[c] && pixels[c] <= high[c];
        out[x] = in ? kSelectionMapIn : 0;
    }
}

}  // namespace

int SelectSimilar() {
    if (!Scratch()) return 0;
    const bool dropped = DropIfFloating();
    if (!HeldPieceWithMask()) return 0;
    TakeImageUndo();
    const std::array<std::array<int, 3>, 2> range = SelectedRange();
    const std::array<int, 3>& low = range[0];
    const std::array<int, 3>& high = range[1];
    const PixelBuffer& image = *CurrentBox().undoBitmap;
    const auto similar = [&](const std::uint8_t* s) {
        return s[0] >= low[0] && s[0] <= high[0] && s[1] >= low[1] && s[1] <= high[1] && s[2] >= low[2] &&
               s[2] <= high[2];
    };
    if (NewSelectionReplacesPiece()) {
        SelectionMap map(image.Width(), image.Height());
        if (map.Ok()) {
            RunRowsInParallel(map.Height(), map.Width(), [&](int first, int end) {
                for (int y = first; y < end; ++y) SimilarRow(image.Row(y), map.Width(), low, high, map.Row(y));
            });
            return FinishCommandSelection(dropped, MakePieceFromMap(map));
        }
    }
    PixelBuffer& scratch = *Scratch();
    for (int y = 0; y < scratch.Height(); ++y) {
        const std::uint8_t* src = image.Row(y);
        std::uint8_t* dst = scratch.Row(y);
        for (int x = 0; x < scratch.Width(); ++x) {
            dst[3 * x] = similar(src + 3 * x) ? 255 : 0;
            dst[3 * x + 1] = 0;
            dst[3 * x + 2] = 0;
        }
    }
    return FinishCommandSelection(dropped);
}

int CopyPiece() {
    if (PaintSettings.Tool != kToolFloatingPiece) return 0;
    PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
    CanvasState.PolygonCount = 0;
    if (TakeImageUndo() == 1) MarkUndoUnderPiece(FloatingPiece.pieceX, FloatingPiece.pieceY);
    ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
    return 1;
}

int CutPiece() {
    if (PaintSettings.Tool != kToolFloatingPiece) return 0;
    PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
    CanvasState.PolygonCount = 0;
    // Undo brings the piece back where it was cut from, not where Paste would put it.
    if (TakeImageUndo() == 1) MarkUndoUnderPiece(FloatingPiece.pieceX, FloatingPiece.pieceY);
    PlacePieceAtViewOrigin();
    RepaintView(true);
    return 1;
}

raster::Point PastePlace(int pieceWidth, int pieceHeight, const raster::Point* centre) {
    const ImageBox& box = CurrentBox();
    if (!centre) {
        const float inv = 1.0f / ImageState.ZoomFactor;
        return {static_cast<std::int32_t>(static_cast<float>(box.scrollX) * inv),
                static_cast<std::int32_t>(static_cast<float>(box.scrollY) * inv)};
    }
    return {std::clamp(centre->x - pieceWidth / 2, 0, std::max(0, box.width - 1)),
            std::clamp(centre->y - pieceHeight / 2, 0, std::max(0, box.height - 1))};
}

int PastePiece(const raster::Point* centre) {
    if (!FloatingPiece.pieceDc) return 0;
    PaintSettings.Tool = kToolFloatingPiece;
    TakeImageUndo();
    const raster::Point at = PastePlace(static_cast<int>(FloatingPiece.pieceWidth),
                                        static_cast<int>(FloatingPiece.pieceHeight), centre);
    FloatingPiece.pieceX = at.x;
    FloatingPiece.pieceY = at.y;
    // Undo while it floats takes back the drags since the paste, not the paste's placement.
    FloatingPiece.savedPieceX = FloatingPiece.pieceX;
    FloatingPiece.savedPieceY = FloatingPiece.pieceY;
    ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false);
    PaintSettings.Group = 0;
    return 1;
}

namespace {

// The tool a tap outside the piece leaves once it is up: the gradient keeps painting, any
// other the Select group's selection tool.
void TakeUpToolAfterPiece() {
    PaintSettings.Tool = PaintSettings.Tool == kToolPieceGradient ? static_cast<std::int8_t>(kToolGradient)
                                                                   : static_cast<std::int8_t>(SelectionToolOfGroup());
    CanvasState.PolygonCount = 0;
}

}  // namespace

int DropPieceCommand() {
    if (!PieceOnCanvas() || !FloatingPiece.pieceDc) return 0;
    TakeUpToolAfterPiece();
    DropFloatingPiece();
    return 1;
}

int DeleteSelection() {
    if (PaintSettings.Tool != kToolFloatingPiece) return 0;
    PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
    CanvasState.PolygonCount = 0;
    // Unlike Cut the piece keeps its place: Undo floats it back where it was.
    if (TakeImageUndo() == 1) MarkUndoUnderPiece(FloatingPiece.pieceX, FloatingPiece.pieceY);
    RepaintView(true);
    return 1;
}

int CropToSelection() {
    const FloatingPieceRecord& p = FloatingPiece;
    if (!PieceOnCanvas() || !p.pieceBitmap || !CurrentBox().workBitmap) return 0;
    const int w = static_cast<int>(p.pieceWidth);
    const int h = static_cast<int>(p.pieceHeight);
    ReplacementTarget cropped;
    if (!MakeReplacementTarget(w, h, false, cropped)) {
        platform::ShowMessageBox(kNoMemoryBitmap, platform::kCaptionOutOfMemory, platform::MessageButtons::Ok,
                                 platform::MessageIcon::Stop);
        return 0;
    }
    // The new picture starts in the background colour; the piece's selected pixels go in.
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* from = p.pieceBitmap->Row(y);
        const std::uint8_t* mask = p.maskBitmap ? p.maskBitmap->Row(y) : nullptr;
        std::uint8_t* to = cropped.bitmap->Row(y);
        for (int x = 0; x < w; ++x) {
            if (mask && mask[x] == kMaskOutside) continue;
            std::memcpy(to + 3 * x, from + 3 * x, 3);
        }
    }
    // Undo gives back the whole picture with the piece put down where it floated.
    TakeUpToolAfterPiece();
    ShowPiece(nullptr, p.pieceX, p.pieceY, true);
    if (TakeImageUndo() != 1) return 0;
    ImageState.UndoKind = kUndoKindFilter;
    InstallImageTarget(cropped);
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    RepaintWholeView();
    return 1;
}
