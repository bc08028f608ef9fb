// The Edit menu's selection and clipboard commands on the current image and the floating
// piece. Copy, Cut and Paste work on the piece alone; whatever bridges them to another
// clipboard calls these.
#pragma once

// Select All, Inverse Selection, Grow Selection, Select Similar: a floating piece is put down
// first; the new selection floats as the piece (group 0, the piece's tool). 1 when a piece was
// made. Select Similar needs a held piece.
int SelectAll();
int InverseSelection();
int GrowSelection();
int SelectSimilar();

// Copy: the floating piece is put down and stays held for Paste; the Select group's tool
// becomes current. Only while the piece floats; 1 when it acted.
int CopyPiece();
// Cut: the piece leaves the image (its hole keeps the background colour) and stays held, moved
// to the top-left of the view. Only while the piece floats; 1 when it acted.
int CutPiece();
// Paste: the held piece floats again at the top-left of the view (group 0). 1 when it acted.
int PastePiece();
