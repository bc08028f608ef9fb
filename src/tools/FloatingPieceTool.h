// The floating piece on the canvas (tool 9): dragged by a tap on its selected pixels,
// dropped by a tap anywhere else or by choosing another tool.
#pragma once

// Puts the piece down for good: an image undo copy of the image under it, then the piece
// merged through its mask at its place. The piece's buffers stay (Paste, Undo).
void DropFloatingPiece();
