// The image slots and the floating piece: the document's two buffers, the piece that a
// selection, paste or the text tool lifts above it, and the piece's mask.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"

namespace platform {
class Window;
class WindowHandler;
}

// Mask byte values of a floating piece.
constexpr std::uint8_t kMaskOutside = 0;
constexpr std::uint8_t kMaskInside = 249;
constexpr std::uint8_t kMaskBorder = 193;

struct ImageBox {
    platform::Window* window = nullptr;  // the canvas window; null = slot free
    std::unique_ptr<raster::DrawingContext> workDc;
    PixelBuffer* workBitmap = nullptr;  // the document as edited and shown
    std::unique_ptr<raster::DrawingContext> undoDc;
    PixelBuffer* undoBitmap = nullptr;  // the undo copy, also the unchanged picture tools read
    raster::BitmapInfo bitmapInfo{};
    int width = 0;
    int height = 0;
    // Scroll positions in window pixels; 32 bits so a large image at a high zoom fits.
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    int anchorX = 0;  // last stylus point in view units (window point / zoom, no scroll)
    int anchorY = 0;
};

// The rest of the image subsystem's state: the active slot, the view, the undo level and the
// document's file.
struct ImageStateRecord {
    std::uint32_t CurrentImage = 0;  // the active slot; 0 = no image
    float ZoomFactor = 1.0f;         // window pixels per image pixel, one value for the program
    std::uint32_t AntsPhase = 0;     // phase 0-4 of the moving border pattern
    std::uint32_t UndoKind = 0;      // what the last undo copy was taken for (see Undo.h)
    std::string CurrentPath;         // full path of the document's file; empty for a new image
    std::uint8_t ImageModified = 0;  // 1 when the image may have changed since opened, reverted or saved
    // Goes up by one at every change of the document (an undo copy, an Undo, a piece moved, a
    // new picture) and never goes down: whoever keeps a copy of the document (the recovery
    // copy, the history) compares it with the count their copy was taken at.
    std::uint64_t EditCount = 0;
    // The undo copy holds the picture that lay under the floating piece when it was put down
    // (dropped, copied or cut) at (UndoPieceX, UndoPieceY), and no copy was taken since: Undo
    // then floats the piece there again over exactly that picture.
    bool UndoUnderPiece = false;
    std::int32_t UndoPieceX = 0;
    std::int32_t UndoPieceY = 0;
    // The work buffer was seen equal to the undo copy at this edit count, with these two
    // buffers (see NoteWorkEqualsUndo in View.h).
    std::uint64_t CleanWorkEditCount = ~std::uint64_t{0};
    const PixelBuffer* CleanWork = nullptr;
    const PixelBuffer* CleanUndo = nullptr;
};

extern ImageStateRecord ImageState;

// The document has changed in a way a Save would write: marks it modified and counts the edit.
void MarkDocumentChanged();

constexpr int kImageSlots = 10;
extern ImageBox ImageBoxTable[kImageSlots];

struct FloatingPieceRecord {
    std::unique_ptr<raster::DrawingContext> pieceDc;  // null = no piece
    PixelBuffer* pieceBitmap = nullptr;
    std::unique_ptr<raster::DrawingContext> maskDc;
    PixelBuffer* maskBitmap = nullptr;
    std::unique_ptr<raster::DrawingContext> pieceUndoDc;
    PixelBuffer* pieceUndoBitmap = nullptr;
    std::unique_ptr<raster::DrawingContext> maskUndoDc;
    PixelBuffer* maskUndoBitmap = nullptr;
    std::uint32_t pieceWidth = 0;
    std::uint32_t pieceHeight = 0;
    std::int32_t pieceX = 0;
    std::int32_t pieceY = 0;
    std::int32_t savedPieceX = 0;
    std::int32_t savedPieceY = 0;
    // The undo twins were made with the piece but not yet filled: until something reads them
    // they stand for a piece in twinsColour with an empty mask (see FillBlankPieceTwins).
    bool twinsBlank = false;
    raster::Colour twinsColour = 0;
};

extern FloatingPieceRecord FloatingPiece;

// Whether a floating piece is on the canvas: the piece itself (tool 9) or the gradient over it
// (tool 51) is the current tool. Image operations, Copy and Cut then act on the piece, and
// choosing another tool drops it.
bool PieceOnCanvas();

// The current slot's record (slot 0, which never has buffers, when no image is open).
inline ImageBox& CurrentBox() {
    return ImageBoxTable[ImageState.CurrentImage < kImageSlots ? ImageState.CurrentImage : 0];
}

// A memory context holding a new buffer of width x height (pixels not initialised), with its
// bitmap; null (and the bitmap cleared) when either cannot be made.
std::unique_ptr<raster::DrawingContext> MakeBufferContext(int width, int height, int bitsPerPixel,
                                                          raster::BitmapInfo& header, PixelBuffer*& bitmap);

// Drops every slot's buffers and the piece without touching windows, and puts ImageState
// back to its initial values: a fresh start for tests.
void ResetImageState();

// Takes the lowest free slot from 1 upward, records the image size and gives it a canvas
// window (child of the main window) at the given place, driven by the handler. Returns
// the slot, or 0 when slots 1-9 are taken. Without a platform no window is made; the slot
// is still taken (the buffers alone serve tests and the batch).
std::uint32_t AllocateImageBox(int x, int y, int width, int height, int imageWidth, int imageHeight,
                               platform::WindowHandler* procedure);

// Makes the slot's work (undo) buffer of width x height at the given depth, filled with the
// background colour. 1 on success, 0 when it cannot be made.
int CreateWorkBuffer(std::uint32_t slot, int bitsPerPixel);
int CreateUndoBuffer(std::uint32_t slot, int bitsPerPixel);

// Releases the slot's buffers and window and clears its scroll position.
void FreeImageBox(std::uint32_t slot);

// A new document of width x height in the background colour, in a fresh slot that becomes
// ImageState.CurrentImage; zoom back to 1. Shows the out-of-memory message and returns 0 on failure.
// Callers free the current slot first.
int CreateImage(int width, int height);

// Replaces the floating piece by a new one of width x height (background colour, empty
// mask, with undo twins). Shows the out-of-memory message and returns 0 on failure. A maker
// that writes every pixel of the piece and of its mask itself asks for them unfilled.
enum class PieceStart { Blank, Unfilled };
int CreateFloatingPiece(int width, int height, PieceStart start = PieceStart::Blank);

// Fills the piece's undo twins as CreateFloatingPiece would have, if they were left for
// later; every reader of the twins calls it first.
void FillBlankPieceTwins();

// Gives up the floating piece's buffers: no piece is held any more.
void FreeFloatingPiece();

// The selection tool of the Select group's current entry: 0 -> 8, 1 -> 16, 2 -> 17, other -> 15.
int SelectionToolOfGroup();

// Out-of-memory texts.
inline constexpr const char* kNoMemoryBitmap = "There is not enough memory to create the bitmap.";
inline constexpr const char* kNoMemoryBrush = "There is not enough memory to store the brush.";
