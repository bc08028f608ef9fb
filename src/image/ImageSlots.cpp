#include "image/ImageSlots.h"

#include <cstring>
#include <new>

#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/History.h"
#include "image/Hooks.h"
#include "image/View.h"
#include "platform/MessageBox.h"
#include "platform/raster/Draw.h"
#include "platform/Window.h"

ImageBox ImageBoxTable[kImageSlots];
FloatingPieceRecord FloatingPiece;
ImageStateRecord ImageState;

void ResetImageState() {
    for (ImageBox& box : ImageBoxTable) box = ImageBox{};
    FloatingPiece = FloatingPieceRecord{};
    ImageState = ImageStateRecord{};
    ResetHistory();
}

bool PieceOnCanvas() {
    return PaintSettings.Tool == kToolFloatingPiece || PaintSettings.Tool == kToolPieceGradient;
}

void MarkDocumentChanged() {
    // The history's first state is the document before its first change.
    NoteChangeComing();
    ImageState.ImageModified = 1;
    ++ImageState.EditCount;
}

std::unique_ptr<raster::DrawingContext> MakeBufferContext(int width, int height, int bitsPerPixel,
                                                          raster::BitmapInfo& header, PixelBuffer*& bitmap) {
    bitmap = nullptr;
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, bitsPerPixel, header, nullptr);
    if (!buffer) return nullptr;
    std::unique_ptr<raster::DrawingContext> dc(new (std::nothrow) raster::DrawingContext(std::move(buffer)));
    if (!dc) return nullptr;
    bitmap = dc->SelectedBitmap();
    return dc;
}

namespace {

void ShowOutOfMemory(const char* text) {
    platform::ShowMessageBox(text, platform::kCaptionOutOfMemory, platform::MessageButtons::Ok,
                             platform::MessageIcon::Stop);
}

void FreePiece() {
    FloatingPiece.pieceDc.reset();
    FloatingPiece.pieceBitmap = nullptr;
    FloatingPiece.maskDc.reset();
    FloatingPiece.maskBitmap = nullptr;
    FloatingPiece.pieceUndoDc.reset();
    FloatingPiece.pieceUndoBitmap = nullptr;
    FloatingPiece.maskUndoDc.reset();
    FloatingPiece.maskUndoBitmap = nullptr;
    FloatingPiece.twinsBlank = false;
}

// One 24-bit piece buffer and one mask; filled, in the background colour and empty.
bool MakePiecePair(int width, int height, std::unique_ptr<raster::DrawingContext>& pieceDc, PixelBuffer*& piece,
                   std::unique_ptr<raster::DrawingContext>& maskDc, PixelBuffer*& mask, bool filled) {
    raster::BitmapInfo header;
    pieceDc = MakeBufferContext(width, height, 24, header, piece);
    if (!pieceDc) return false;
    if (filled) FillWithBackground(*pieceDc, width, height);
    maskDc = MakeBufferContext(width, height, 8, header, mask);
    if (!maskDc) return false;
    if (filled) {
        std::memset(mask->Bits(), kMaskOutside, mask->ByteSize());
    } else if (mask->Stride() > width) {
        // The maker writes the pixels; the rows' padding is kept empty as a filled mask's is.
        for (int y = 0; y < height; ++y) {
            std::memset(mask->Row(y) + width, kMaskOutside, static_cast<std::size_t>(mask->Stride() - width));
        }
    }
    return true;
}

}  // namespace

std::uint32_t AllocateImageBox(int x, int y, int width, int height, int imageWidth, int imageHeight,
                               platform::WindowHandler* procedure) {
    for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) {
        ImageBox& box = ImageBoxTable[slot];
        if (box.window || box.workDc) continue;
        box.width = imageWidth;
        box.height = imageHeight;
        box.window = platform::CreateCanvasWindow(x, y, width, height, procedure);
        if (box.window) box.window->Show(true);
        return slot;
    }
    return 0;
}

int CreateWorkBuffer(std::uint32_t slot, int bitsPerPixel) {
    if (slot == 0 || slot >= kImageSlots) return 0;
    ImageBox& box = ImageBoxTable[slot];
    box.workDc = MakeBufferContext(box.width, box.height, bitsPerPixel, box.bitmapInfo, box.workBitmap);
    if (!box.workDc) return 0;
    FillWithBackground(*box.workDc, box.width, box.height);
    return 1;
}

int CreateUndoBuffer(std::uint32_t slot, int bitsPerPixel) {
    if (slot == 0 || slot >= kImageSlots) return 0;
    ImageBox& box = ImageBoxTable[slot];
    box.undoDc = MakeBufferContext(box.width, box.height, bitsPerPixel, box.bitmapInfo, box.undoBitmap);
    if (!box.undoDc) return 0;
    FillWithBackground(*box.undoDc, box.width, box.height);
    return 1;
}

void FreeImageBox(std::uint32_t slot) {
    if (slot == 0 || slot >= kImageSlots) return;
    ImageBox& box = ImageBoxTable[slot];
    box.workDc.reset();
    box.workBitmap = nullptr;
    box.undoDc.reset();
    box.undoBitmap = nullptr;
    if (box.window) platform::DestroyWindow(box.window);
    box.window = nullptr;
    box.scrollX = 0;
    box.scrollY = 0;
}

void FreeFloatingPiece() {
    FreePiece();
    FloatingPiece.pieceWidth = 0;
    FloatingPiece.pieceHeight = 0;
}

int SelectionToolOfGroup() {
    switch (PaintSettings.Select) {
        case 0: return kToolSelectRectangle;
        case 1: return kToolSelectLasso;
        case 2: return kToolSelectMagicWand;
        default: return kToolSelectPolygon;
    }
}

int CreateImage(int width, int height) {
    // A new document starts a fresh history.
    ClearHistory();
    ImageState.ZoomFactor = 1.0f;
    if (PaintSettings.Tool == kToolFloatingPiece) PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
    // The gradient over a piece would show the old piece over the new picture and repaint it
    // from the fresh undo buffer: it becomes the gradient over the picture.
    if (PaintSettings.Tool == kToolPieceGradient) PaintSettings.Tool = kToolGradient;
    ImageState.CurrentImage = AllocateImageBox(0, 0, 0, 0, width, height, ImageHooks.canvasProcedure);
    const std::uint32_t slot = ImageState.CurrentImage;
    const bool made = slot != 0 && CreateWorkBuffer(slot, 24) == 1 && CreateUndoBuffer(slot, 24) == 1;
    if (made) {
        // A new, opened or reverted picture replaces the document: not an unsaved change,
        // but every copy of the old one is out of date.
        ++ImageState.EditCount;
        return 1;
    }
    if (ImageState.CurrentImage != 0) FreeImageBox(ImageState.CurrentImage);
    ShowOutOfMemory(kNoMemoryBitmap);
    return 0;
}

int CreateFloatingPiece(int width, int height, PieceStart start) {
    FreePiece();
    FloatingPieceRecord& p = FloatingPiece;
    // The twins are filled only when read: mostly an undo copy overwrites them first.
    const bool made =
        MakePiecePair(width, height, p.pieceDc, p.pieceBitmap, p.maskDc, p.maskBitmap, start == PieceStart::Blank) &&
        MakePiecePair(width, height, p.pieceUndoDc, p.pieceUndoBitmap, p.maskUndoDc, p.maskUndoBitmap, false);
    if (!made) {
        // A half-made piece would pair new buffers with the old piece's size: keep none.
        FreePiece();
        p.pieceWidth = 0;
        p.pieceHeight = 0;
        ShowOutOfMemory(kNoMemoryBrush);
        return 0;
    }
    p.pieceWidth = static_cast<std::uint32_t>(width);
    p.pieceHeight = static_cast<std::uint32_t>(height);
    p.twinsBlank = true;
    p.twinsColour = PaintSettings.BColor;
    return 1;
}

void FillBlankPieceTwins() {
    FloatingPieceRecord& p = FloatingPiece;
    if (!p.twinsBlank) return;
    p.twinsBlank = false;
    if (p.pieceUndoDc) {
        raster::FillRect(*p.pieceUndoDc, raster::Rect{0, 0, p.pieceUndoBitmap->Width(), p.pieceUndoBitmap->Height()},
                         p.twinsColour);
    }
    if (p.maskUndoBitmap) std::memset(p.maskUndoBitmap->Bits(), kMaskOutside, p.maskUndoBitmap->ByteSize());
}
