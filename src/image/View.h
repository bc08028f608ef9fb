// Putting the current image on the screen: zoom, scroll bars, repaint, and the floating
// piece with its moving border.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "image/ImageSlots.h"
#include "platform/raster/Bitmap.h"

// The zoom is kept within these bounds so the zoomed extent always fits the scroll fields.
constexpr float kMinZoom = 0.125f;
constexpr float kMaxZoom = 32.0f;
float ClampZoom(float zoom);

// The canvas timers: repeated airbrush dabs, and the moving border.
constexpr int kTimerAirbrush = 1;
constexpr int kTimerBorder = 2;
constexpr int kBorderPeriodMs = 200;

constexpr raster::Colour kViewMargin = 0x808080;

// Draws the view of the box into dc, whose selected bitmap is the window's client area:
// gray beyond the image, the image stretched from the scroll position at the zoom.
void PaintView(raster::DrawingContext& dc, const ImageBox& box);

// PaintView into the current slot's window; unless keep, copies the undo buffer back over the
// work buffer afterwards (previews drawn into the work buffer vanish from the image).
void RepaintView(bool keep);

// Repaints the whole view as the current tool shows it (a floating piece included).
void RepaintWholeView();

// The work buffer equals the undo copy now (it was just given back, or the undo copy was just
// taken with nothing to follow but showing the floating piece). Until the next edit (every
// change of the picture begins with one) or a drop, showing the piece without dropping it
// draws it over the view alone: the image would only be given back what it already holds.
void NoteWorkEqualsUndo();
bool WorkKnownEqualToUndo();
void ForgetWorkEqualsUndo();

// Shows the floating piece at image position (x, y) in the view painted into dc (null: the
// current window). With drop the piece stays merged into the image.
void ShowPiece(raster::DrawingContext* dc, int x, int y, bool drop);
// What showing the piece does besides painting: its border moves on a step and the border's
// timer runs. For a piece the caller shows with the whole view right afterwards.
void AdvancePieceBorder();

// Paints the piece's moving border into the work buffer, advances the pattern, and
// (re)starts the border timer of the current window.
void DrawPieceBorder(int x, int y, int width, int height);

// Pastes a piece into target at (x, y) where its mask is non-zero, clipped to the target;
// with transparent set, piece pixels of the colour skipColour are left out.
void PastePieceThroughMask(PixelBuffer& target, int x, int y, const PixelBuffer& piece, const PixelBuffer& mask,
                           bool transparent, raster::Colour skipColour);

// The picture as the user sees it, which is what Save writes: the work buffer, with a
// floating piece merged where it floats (the piece itself keeps floating). Without a
// floating piece this is the work buffer itself; with one, a merged copy that merged holds.
// Null when there is no image, or when the copy cannot be made (after the out-of-memory
// message).
const PixelBuffer* PictureAsShown(std::unique_ptr<PixelBuffer>& merged);

// Lends use the picture as PictureAsShown makes it and returns what use returns; 0 when there
// is none. A floating piece over a work buffer known to equal the undo copy is pasted into the
// work buffer for the time of the call, and the place it covers is given back from the undo
// copy afterwards: saving a large picture with a piece then takes no third copy of it.
int WithPictureAsShown(const std::function<int(const PixelBuffer&)>& use);

// What the scroll bars become for a window and an image extent.
struct ScrollBarLayout {
    int maxX = 0;
    int maxY = 0;
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    int rangeX = 0;  // 0 ... trunc(width x zoom)
    int rangeY = 0;
    int pageX = 0;
    int pageY = 0;
};

// The scroll-bar arithmetic: from the window rectangle's size (not the client's), whether a
// colour bar stands beside the canvas, the platform's scroll bar height, the image size,
// the zoom, the current positions and the target fractions (both <= 0 keep the positions).
ScrollBarLayout ComputeScrollBars(int windowWidth, int windowHeight, bool sideColourBar, int scrollBarHeight,
                                  int imageWidth, int imageHeight, float zoom, std::int32_t scrollX,
                                  std::int32_t scrollY, float fx, float fy);

// Recomputes both scroll bars of the slot's window and its scroll position.
void SetupScrollBars(std::uint32_t slot, float fx, float fy);

// The factor a zoom command sets (0 for identifiers that are no zoom command).
float ZoomCommandFactor(int commandId, float current);

// The zoom commands of the View menu: keep the image point at the centre of the view.
void ZoomCommand(int commandId);

// Sets the zoom (within bounds), aims the scroll bars at the image point (vx + sx, vy + sy)
// taken at the old zoom, and repaints.
void ZoomAt(float newZoom, int viewX, int viewY);
