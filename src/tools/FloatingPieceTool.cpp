#include "tools/FloatingPieceTool.h"

#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"

void DropFloatingPiece() {
    TakeImageUndo();
    ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
}
