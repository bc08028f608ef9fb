// The Edit commands' side of the desktop clipboard: Copy and Cut also hand the piece to other
// programs, and Paste takes an image that another program put there since our last Copy or
// Cut before the piece this program holds.
#pragma once

#include "platform/raster/Draw.h"

// Puts the held piece, its selected pixels only, on the desktop clipboard. 1 when it did.
int PutPieceOnClipboard();

// Whether Paste would take an image from the desktop clipboard.
bool ClipboardImageWaiting();

// Paste: the desktop clipboard's image when one waits there, floated whole as the piece at
// the top-left of the visible part of the picture; otherwise the held piece, as PastePiece.
// A piece floating already is put down first. With centre given, the piece is placed with
// its centre on that image point instead (PastePlace). 1 when a piece floats afterwards.
int PasteFromClipboard(const raster::Point* centre = nullptr);
