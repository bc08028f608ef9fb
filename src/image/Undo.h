// The one undo level: the slot's second buffer and the piece's undo twins. Undo exchanges
// the buffers, so a second Undo redoes.
#pragma once

#include <cstdint>

// What the last copy was taken for (ImageState.UndoKind): the tool current at that moment,
// or one of these.
constexpr std::uint32_t kUndoKindPiece = 100;
constexpr std::uint32_t kUndoKindFilter = 200;

// Copies the current image into the undo buffer (re-making the buffer when the image size
// changed) and marks the document modified. 1, or 0 after the out-of-memory message.
int TakeImageUndo();
// TakeImageUndo for an undo copy that already holds what the work buffer holds (both were
// just given the same change): the undo level is taken without copying the picture.
int TakeImageUndoOfEqualCopy();

// Called right after the TakeImageUndo that precedes putting the floating piece down (a drop,
// Copy or Cut): the undo copy is the picture under the piece, which lies at (x, y).
void MarkUndoUnderPiece(int x, int y);

// Copies the floating piece and its mask into their undo twins; ImageState.UndoKind = 100.
// 1, or 0 after the out-of-memory message.
int TakePieceUndo();

// Exchanges the current slot's work and undo buffers; an undo buffer of another size
// brings its size back and redoes the scroll bars.
void SwapImageBuffers();

// The Undo command: also the redo.
void Undo();

inline constexpr const char* kNoMemoryUndo =
    "There is not enough memory to create the bitmap. Please save the current document.";
inline constexpr const char* kNoMemoryPieceUndo = "There is not enough memory to store brush.";
