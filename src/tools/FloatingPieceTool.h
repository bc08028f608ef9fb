// The floating piece on the canvas (tool 9): dragged by a tap on its selected pixels,
// dropped by a tap anywhere else (which then starts the Select group's tool) or by choosing
// another tool. Its moving border advances on the canvas's 200 ms timer.
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& FloatingPieceTool();

// Puts the piece down for good: an image undo copy of the image under it, then the piece
// merged through its mask at its place. The piece's buffers stay (Paste, Undo).
void DropFloatingPiece();

// A tick of the border timer while a piece is shown: redisplays the piece, which advances
// its border, unless the stylus is down.
void TickPieceBorder(int timerId);
