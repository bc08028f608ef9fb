// Selections: every way of selecting draws its shape into a scratch form in the work buffer
// (black = out, pure blue = in; the image is safe in the undo buffer), and one builder turns
// the scratch into the floating piece with its mask and border. The kernels take their
// buffers explicitly; the builder and the commands work on the current slot and the piece.
#pragma once

#include <cstdint>
#include <memory>

#include "image/ImageSlots.h"
#include "image/PixelBuffer.h"

// How MaskedBlit combines a piece with its target.
enum class BlitMode {
    Lift = 0,      // where the mask is set: the background colour (the piece leaves a hole)
    Paste = 1,     // where the mask is set: the piece's pixel (with Trans, background pixels skipped)
    Plain = 2,     // the rectangle copied as it is, 24 bits from the pixels, 8 bits from the mask
    Inverted = 3,  // scratch: out where the mask is set, in where it is not
    Union = 4,     // scratch: in where the mask is set, else unchanged
    Minus = 5,     // scratch: in only where the mask is set and the scratch was out
};

// Combines the piece's pixels and/or mask (both the piece's size; pixels may be null for the
// scratch modes) with target at (x, y), width x height of the piece from (srcX, srcY), clipped
// to the target and the piece. In the scratch modes green and red of every visited pixel
// become 0. Background and Trans come from PaintSettings.
// A second target of the first's size (Lift only) gets the same hole in the same pass.
void MaskedBlit(PixelBuffer& target, int x, int y, int width, int height, const PixelBuffer* pixels,
                const PixelBuffer* mask, int srcX, int srcY, BlitMode mode, PixelBuffer* secondTarget = nullptr);

// Marks the border of a mask: the first and last selected pixel of every row run and every
// column run become kMaskBorder. Mode 0 as the mask is; 1 first turns borders back into
// kMaskInside; 2 first selects every pixel.
void MarkBorderOf(PixelBuffer& mask, int mode);
// The same on the floating piece's mask.
void MarkBorder(int mode);

// The scratch filled out (black) or in (pure blue).
void FillScratch(PixelBuffer& scratch, bool selected);
// The rectangle left <= x < right, top <= y < bottom, clipped to the scratch, made in.
void FillScratchRect(PixelBuffer& scratch, int left, int top, int right, int bottom);

// The lasso's edge: toggles the blue byte of one scratch pixel per row crossed from (x1, y1)
// to (x2, y2), and of (x1, y1) itself when toggleStart; points clamped to the scratch.
void LassoEdge(PixelBuffer& scratch, int x1, int y1, int x2, int y2, bool toggleStart);
// Fills each row between the toggled pixels (even-odd): the inside of the lasso.
void LassoFill(PixelBuffer& scratch);
// The magic wand's flood result as scratch: in where the fill changed the blue or green
// byte of the untouched picture.
void WandMask(PixelBuffer& filled, const PixelBuffer& untouched);

// Turns the current slot's scratch (workBitmap) into the floating piece, first combining an
// existing piece with it by CanvasState.SelectModifier (1 add, 2 subtract). The piece's pixels
// come from the undo buffer. Shows the piece. 1 when a piece was made; 0 (work restored from
// the undo buffer, the old piece untouched) when the shape is smaller than 2 x 2 or memory is
// short. Public for every piece maker, the text tool included.
int MakePieceFromScratch();

// A selection over the whole image as one byte per pixel (kSelectionMapIn or 0), rows top
// down: the short way to a piece when a new selection replaces the held one, which needs no
// scratch in the work buffer (one byte per pixel instead of three, and no work buffer to give
// back its undo copy afterwards).
constexpr std::uint8_t kSelectionMapIn = 255;
class SelectionMap {
public:
    // Contents undefined, or all 0 when zeroed; Ok() false when memory is short.
    SelectionMap(int width, int height, bool zeroed = false);
    bool Ok() const { return bytes_ != nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    std::uint8_t* Row(int y) { return bytes_.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_); }
    const std::uint8_t* Row(int y) const {
        return bytes_.get() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
    }

private:
    int width_ = 0;
    int height_ = 0;
    struct Free {
        void operator()(std::uint8_t* bytes) const;
    };
    std::unique_ptr<std::uint8_t[], Free> bytes_;
};

// The wand's flood result as a map (in where the fill changed the blue or green byte of the
// untouched picture), the filled buffer given back the untouched one's pixels. False (nothing
// done) when the sizes differ.
bool WandMap(PixelBuffer& filled, const PixelBuffer& untouched, SelectionMap& map);

// Whether a new selection replaces the held piece (no piece, or no add / subtract modifier),
// so that it may be made from a map or a rectangle instead of the scratch.
bool NewSelectionReplacesPiece();

// MakePieceFromScratch's result for the shape in the map, or for the rectangle left <= x <
// right, top <= y < bottom (clipped to the image); the work buffer must equal the undo copy.
// Later: the caller shows the whole view once the piece is lifted, so the piece is not
// painted now (its border still moves on, as showing it would make it).
enum class PieceShow { Now, Later };
int MakePieceFromMap(const SelectionMap& map, PieceShow show = PieceShow::Now);
int MakePieceFromRectangle(int left, int top, int right, int bottom, PieceShow show = PieceShow::Now);

// After a piece was made: its area in the image becomes the background colour, the image undo
// copy is taken, and the piece's tool becomes current.
void LiftPiece();

// The lasso on the canvas: begun at an image point, extended point by point, closed into a
// selection (1 when a piece was made and lifted).
void StartLasso(int x, int y);
void ExtendLasso(int x1, int y1, int x2, int y2);
int CloseLasso(int lastX, int lastY);

// The rectangle selection between two image points (any order); 1 when a piece was lifted.
int SelectRectangle(int x1, int y1, int x2, int y2);
// The magic-wand selection at an image point; 1 when a piece was lifted.
int SelectWithWand(int x, int y);
// The polygon selection's ending: its scratch already drawn; 1 when a piece was lifted.
int BuildPolygonSelection();
