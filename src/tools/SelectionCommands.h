// The Edit menu's selection and clipboard commands on the current image and the floating
// piece. Copy, Cut and Paste work on the piece alone; whatever bridges them to another
// clipboard calls these.
#pragma once

#include "platform/raster/Draw.h"

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
// Paste: the held piece floats again at the top-left of the view (group 0), or centred on the
// image point centre when one is given. 1 when it acted.
int PastePiece(const raster::Point* centre = nullptr);

// Where a pasted piece of the given size goes: the top-left of the view, or with its centre
// on centre, moved so that its top-left corner stays within the picture.
raster::Point PastePlace(int pieceWidth, int pieceHeight, const raster::Point* centre);

// Deselect: a floating piece is put down where it floats, as a tap outside it would, and the
// tool that tap would leave takes over. 1 when a piece floated.
int DropPieceCommand();

// Delete: the piece is let go as Cut lets it go, without the clipboard: the image keeps the
// background colour where the piece was lifted. One undo step, which floats the piece again
// where it was. 1 when it acted.
int DeleteSelection();

// Crop to Selection: the picture becomes the floating piece's rectangle, the piece's pixels
// where its mask selects and the background colour elsewhere. One undo step, which gives back
// the picture with the piece put down where it floated. 1 when it acted.
int CropToSelection();
