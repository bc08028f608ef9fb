#include "image/Undo.h"

#include <cstring>
#include <new>
#include <utility>

#include "image/Hooks.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/View.h"
#include "platform/MessageBox.h"

namespace {

void ShowOutOfMemory(const char* text) {
    platform::ShowMessageBox(text, platform::kCaptionOutOfMemory, platform::MessageButtons::Ok,
                             platform::MessageIcon::Stop);
}

bool HasSize(const PixelBuffer* buffer, int width, int height) {
    return buffer && buffer->Width() == width && buffer->Height() == height;
}

// A buffer of the given size and depth in its own memory context, filled with fill (24 bits:
// the background colour; 8 bits: mask value 0).
std::unique_ptr<raster::DrawingContext> MakeTwin(int width, int height, int bitsPerPixel, PixelBuffer*& bitmap) {
    raster::BitmapInfo header;
    std::unique_ptr<raster::DrawingContext> dc = MakeBufferContext(width, height, bitsPerPixel, header, bitmap);
    if (!dc) return nullptr;
    if (bitsPerPixel == 24) {
        FillWithBackground(*dc, width, height);
    } else {
        std::memset(bitmap->Bits(), kMaskOutside, bitmap->ByteSize());
    }
    return dc;
}

}  // namespace

namespace {

// The undo level's own records for a copy taken now; false when the copy has no buffer.
bool BeginImageUndo(ImageBox& box) {
    MarkDocumentChanged();
    if (!HasSize(box.undoBitmap, box.width, box.height)) {
        box.undoDc.reset();
        box.undoBitmap = nullptr;
        if (CreateUndoBuffer(ImageState.CurrentImage, 24) != 1) {
            ShowOutOfMemory(kNoMemoryUndo);
            return false;
        }
    }
    ImageState.UndoKind = static_cast<std::uint32_t>(static_cast<int>(PaintSettings.Tool));
    ImageState.UndoUnderPiece = false;
    return true;
}

}  // namespace

int TakeImageUndo() {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap || !BeginImageUndo(box)) return 0;
    CopyPixels(box.undoBitmap, box.workBitmap);
    return 1;
}

int TakeImageUndoOfEqualCopy() {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap || !HasSize(box.undoBitmap, box.width, box.height)) return TakeImageUndo();
    return BeginImageUndo(box) ? 1 : 0;
}

void MarkUndoUnderPiece(int x, int y) {
    ImageState.UndoUnderPiece = true;
    ImageState.UndoPieceX = x;
    ImageState.UndoPieceY = y;
}

int TakePieceUndo() {
    FloatingPieceRecord& p = FloatingPiece;
    if (!p.pieceBitmap) return 0;
    // Save writes the piece where it floats: changing it changes the file a Save would write.
    MarkDocumentChanged();
    const int w = static_cast<int>(p.pieceWidth);
    const int h = static_cast<int>(p.pieceHeight);
    const bool hasMask = p.maskBitmap != nullptr;
    if (!HasSize(p.pieceUndoBitmap, w, h) || (hasMask && !HasSize(p.maskUndoBitmap, w, h))) {
        p.pieceUndoDc.reset();
        p.pieceUndoBitmap = nullptr;
        if (hasMask) {
            p.maskUndoDc.reset();
            p.maskUndoBitmap = nullptr;
        }
        p.pieceUndoDc = MakeTwin(w, h, 24, p.pieceUndoBitmap);
        if (p.pieceUndoDc && hasMask) p.maskUndoDc = MakeTwin(w, h, 8, p.maskUndoBitmap);
        if (!p.pieceUndoDc || (hasMask && !p.maskUndoDc)) {
            ShowOutOfMemory(kNoMemoryPieceUndo);
            return 0;
        }
    }
    ImageState.UndoKind = kUndoKindPiece;
    // Twins left blank by the piece's making need no filling: the copy overwrites them, unless
    // the mask has none to copy.
    if (!hasMask) FillBlankPieceTwins();
    CopyPixels(p.pieceUndoBitmap, p.pieceBitmap);
    if (hasMask) CopyPixels(p.maskUndoBitmap, p.maskBitmap);
    p.twinsBlank = false;
    return 1;
}

void SwapImageBuffers() {
    ImageBox& box = CurrentBox();
    std::swap(box.workDc, box.undoDc);
    std::swap(box.workBitmap, box.undoBitmap);
    if (box.workBitmap && !HasSize(box.workBitmap, box.width, box.height)) {
        box.width = box.workBitmap->Width();
        box.height = box.workBitmap->Height();
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    }
}

namespace {

void SwapPieceWithUndo() {
    FloatingPieceRecord& p = FloatingPiece;
    if (!p.pieceUndoDc) return;
    FillBlankPieceTwins();
    std::swap(p.pieceDc, p.pieceUndoDc);
    std::swap(p.pieceBitmap, p.pieceUndoBitmap);
    if (p.maskDc && p.maskUndoDc) {
        std::swap(p.maskDc, p.maskUndoDc);
        std::swap(p.maskBitmap, p.maskUndoBitmap);
    }
    const auto w = static_cast<std::uint32_t>(p.pieceBitmap->Width());
    const auto h = static_cast<std::uint32_t>(p.pieceBitmap->Height());
    if (w != p.pieceWidth || h != p.pieceHeight) {
        p.pieceWidth = w;
        p.pieceHeight = h;
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    }
}

bool IsSelectionTool(int tool) {
    return tool == kToolSelectRectangle || tool == kToolSelectPolygon || tool == kToolSelectLasso ||
           tool == kToolSelectMagicWand;
}

// The piece put down last floats again where it lay, over the picture that was under it, so
// the view shows what it showed before the piece went down. Chosen from another group, the
// tool bar turns to the Select group, whose tool a floating piece belongs to.
void FloatPieceAgain() {
    if (!IsSelectionTool(PaintSettings.Tool)) PaintSettings.Group = 0;
    PaintSettings.Tool = kToolFloatingPiece;
    FloatingPiece.pieceX = ImageState.UndoPieceX;
    FloatingPiece.pieceY = ImageState.UndoPieceY;
}

}  // namespace

void Undo() {
    if (!CurrentBox().workBitmap) return;
    const int tool = PaintSettings.Tool;
    const bool polygonKind = ImageState.UndoKind >= static_cast<std::uint32_t>(kToolPolygon) &&
                             ImageState.UndoKind <= static_cast<std::uint32_t>(kToolSelectPolygon);
    if (polygonKind && ImageHooks.removePolygonVertex && ImageHooks.removePolygonVertex()) {
        RepaintWholeView();  // the last vertex is gone; the image stays as it is
        return;
    }
    // Every other Undo changes the picture a Save would write, so it differs from the file
    // again: the save question must not let it go unasked.
    MarkDocumentChanged();
    if (ImageState.UndoKind == kUndoKindPiece) {
        SwapPieceWithUndo();
    } else if (tool == kToolFloatingPiece) {
        FloatingPiece.pieceX = FloatingPiece.savedPieceX;
        FloatingPiece.pieceY = FloatingPiece.savedPieceY;
    } else if (!PieceOnCanvas() && FloatingPiece.pieceDc && ImageState.UndoUnderPiece) {
        FloatPieceAgain();
    } else {
        // Without the picture under the piece in the undo copy (a later copy replaced it), a piece
        // floated again would lie over its own copy; Undo takes back that later copy instead.
        SwapImageBuffers();
    }
    RepaintWholeView();
}
