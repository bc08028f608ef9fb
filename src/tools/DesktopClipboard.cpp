#include "tools/DesktopClipboard.h"

#include <algorithm>

#include "image/Undo.h"
#include "image/View.h"
#include "platform/Clipboard.h"
#include "platform/MessageBox.h"
#include "image/PaintSettings.h"
#include "tools/Selection.h"
#include "tools/SelectionCommands.h"
#include "image/ToolIds.h"

namespace {

// The clipboard's image becomes the floating piece: its pixels, and where it is transparent
// (when it has a mask) outside the selection.
int FloatClipboardImage(const platform::ClipboardImage& image, const raster::Point* centre) {
    const int w = image.pixels->Width();
    const int h = image.pixels->Height();
    if (CreateFloatingPiece(w, h) != 1) return 0;
    FloatingPieceRecord& piece = FloatingPiece;
    for (int y = 0; y < h; ++y) {
        std::copy_n(image.pixels->Row(y), 3 * w, piece.pieceBitmap->Row(y));
        std::uint8_t* m = piece.maskBitmap->Row(y);
        const std::uint8_t* from = image.mask ? image.mask->Row(y) : nullptr;
        for (int x = 0; x < w; ++x) m[x] = (from && from[x] == 0) ? kMaskOutside : kMaskInside;
    }
    MarkBorder(0);
    PaintSettings.Tool = kToolFloatingPiece;
    TakeImageUndo();
    const raster::Point at = PastePlace(w, h, centre);
    piece.pieceX = piece.savedPieceX = at.x;
    piece.pieceY = piece.savedPieceY = at.y;
    ShowPiece(nullptr, piece.pieceX, piece.pieceY, false);
    PaintSettings.Group = 0;
    return 1;
}

}  // namespace

int PutPieceOnClipboard() {
    const FloatingPieceRecord& piece = FloatingPiece;
    if (!piece.pieceBitmap) return 0;
    return platform::Clipboard().PutImage(*piece.pieceBitmap, piece.maskBitmap) ? 1 : 0;
}

bool ClipboardImageWaiting() { return platform::Clipboard().HasForeignImage(); }

int PasteFromClipboard(const raster::Point* centre) {
    if (!CurrentBox().workBitmap) return 0;
    if (!ClipboardImageWaiting()) return PastePiece(centre);
    const platform::ClipboardImage image = platform::Clipboard().ForeignImage();
    if (!image.pixels) {
        platform::ShowMessageBox(kNoMemoryBitmap, platform::kCaptionOutOfMemory, platform::MessageButtons::Ok,
                                 platform::MessageIcon::Stop);
        return 0;
    }
    if (PieceOnCanvas()) ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
    return FloatClipboardImage(image, centre);
}
