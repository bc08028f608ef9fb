#include "image/View.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/Hooks.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/MaskRuns.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "platform/raster/Draw.h"
#include "platform/raster/ParallelRows.h"

float ClampZoom(float zoom) {
    if (!(zoom >= kMinZoom)) return kMinZoom;  // also catches NaN
    if (zoom > kMaxZoom) return kMaxZoom;
    return zoom;
}

namespace {

// The view's parts beyond the picture's right and bottom edges.
void PaintViewMargins(raster::DrawingContext& dc, const ImageBox& box) {
    const PixelBuffer* surface = dc.SelectedBitmap();
    const int cw = surface->Width();
    const int ch = surface->Height();
    const float zoom = ImageState.ZoomFactor;
    const float rightEdge = static_cast<float>(box.width) * zoom - static_cast<float>(box.scrollX);
    const float bottomEdge = static_cast<float>(box.height) * zoom - static_cast<float>(box.scrollY);
    if (static_cast<float>(cw) > rightEdge) {
        raster::FillRect(dc, raster::Rect{static_cast<int>(rightEdge), 0, cw, ch}, kViewMargin);
    }
    if (static_cast<float>(ch) > bottomEdge) {
        raster::FillRect(dc, raster::Rect{0, static_cast<int>(bottomEdge), cw, ch}, kViewMargin);
    }
}

}  // namespace

void PaintView(raster::DrawingContext& dc, const ImageBox& box) {
    const PixelBuffer* surface = dc.SelectedBitmap();
    if (!surface || !box.workDc) return;
    const int cw = surface->Width();
    const int ch = surface->Height();
    const float zoom = ImageState.ZoomFactor;
    PaintViewMargins(dc, box);
    const float inv = 1.0f / zoom;
    raster::StretchBlt(dc, 0, 0, cw, ch, *box.workDc, static_cast<int>(static_cast<float>(box.scrollX) * inv),
                       static_cast<int>(static_cast<float>(box.scrollY) * inv),
                       static_cast<int>(static_cast<float>(cw) * inv), static_cast<int>(static_cast<float>(ch) * inv));
}

void RepaintView(bool keep) {
    ImageBox& box = CurrentBox();
    if (!box.workDc) return;
    // The surface is shown once the current message has been handled.
    if (box.window) PaintView(box.window->GetDC(), box);
    if (!keep && box.undoBitmap) CopyPixels(box.workBitmap, box.undoBitmap);
}

void RepaintWholeView() {
    ImageBox& box = CurrentBox();
    if (!box.workDc) return;
    if (ImageHooks.showWholeView) {
        ImageHooks.showWholeView(box);
        return;
    }
    RepaintView(true);
}

void PastePieceThroughMask(PixelBuffer& target, int x, int y, const PixelBuffer& piece, const PixelBuffer& mask,
                           bool transparent, raster::Colour skipColour) {
    const int pw = std::min(piece.Width(), mask.Width());
    const int ph = std::min(piece.Height(), mask.Height());
    const int firstCol = std::max(0, -x);
    const int lastCol = std::min(pw, target.Width() - x);  // exclusive
    const int firstRow = std::max(0, -y);
    const int lastRow = std::min(ph, target.Height() - y);
    const std::uint8_t skipB = static_cast<std::uint8_t>(raster::BlueOf(skipColour));
    const std::uint8_t skipG = static_cast<std::uint8_t>(raster::GreenOf(skipColour));
    const std::uint8_t skipR = static_cast<std::uint8_t>(raster::RedOf(skipColour));
    if (firstRow >= lastRow || firstCol >= lastCol) return;
    // Each row is its own, so the rows are shared among the cores.
    RunRowsInParallel(lastRow - firstRow, lastCol - firstCol, [&](int firstBandRow, int endBandRow) {
        for (int my = firstRow + firstBandRow; my < firstRow + endBandRow; ++my) {
            const std::uint8_t* m = mask.Row(my);
            const std::uint8_t* src = piece.Row(my);
            std::uint8_t* dst = target.Row(y + my);
            maskruns::ForEachSelectedRun(m, firstCol, lastCol, [&](int first, int last) {
                if (!transparent) {
                    std::memcpy(dst + 3 * (x + first), src + 3 * first, static_cast<std::size_t>(3 * (last - first)));
                    return;
                }
                for (int mx = first; mx < last; ++mx) {
                    const std::uint8_t* s = src + 3 * mx;
                    if (s[0] == skipB && s[1] == skipG && s[2] == skipR) continue;
                    std::uint8_t* d = dst + 3 * (x + mx);
                    d[0] = s[0];
                    d[1] = s[1];
                    d[2] = s[2];
                }
            });
        }
    });
}

void DrawPieceBorder(int x, int y, int width, int height) {
    ImageBox& box = CurrentBox();
    ImageState.AntsPhase = (ImageState.AntsPhase + 1) % 5;
    const PixelBuffer* mask = FloatingPiece.maskBitmap;
    PixelBuffer* image = box.workBitmap;
    if (mask && image) {
        const int w = std::min({width, image->Width() - x, mask->Width()});
        const int h = std::min({height, image->Height() - y, mask->Height()});
        for (int my = std::max(0, -y); my < h; ++my) {
            const std::uint8_t* m = mask->Row(my);
            std::uint8_t* row = image->Row(y + my);
            // Border bytes are few: memchr jumps between them.
            for (int mx = std::max(0, -x); mx < w; ++mx) {
                const void* next = std::memchr(m + mx, kMaskBorder, static_cast<std::size_t>(w - mx));
                if (!next) break;
                mx = static_cast<int>(static_cast<const std::uint8_t*>(next) - m);
                // mx < w and my < h keep the sum positive.
                const int phase = (static_cast<int>(ImageState.AntsPhase) - mx - my + w + h) % 5;
                const std::uint8_t g = phase < 2 ? 255 : 0;
                std::uint8_t* p = row + 3 * (x + mx);
                p[0] = g;
                p[1] = g;
                p[2] = g;
            }
        }
    }
    if (box.window) box.window->SetTimer(kTimerBorder, kBorderPeriodMs);
}

namespace {

// The image pixel a view pixel shows, as the stretching copy of PaintView picks it: source
// start + (offset x source extent) / view extent; -1 where it lies outside the image.
std::vector<int> ViewSources(int viewExtent, int sourceStart, int sourceExtent, int imageExtent) {
    std::vector<int> sources(static_cast<std::size_t>(std::max(viewExtent, 0)), -1);
    for (int d = 0; d < viewExtent; ++d) {
        const long long s = sourceStart + static_cast<long long>(d) * sourceExtent / viewExtent;
        if (s >= 0 && s < imageExtent) sources[static_cast<std::size_t>(d)] = static_cast<int>(s);
    }
    return sources;
}

// Paints the view of the clean image with the piece at (x, y) and its moving border over it,
// the margins aside: each view pixel becomes what PaintView would show had the piece been
// pasted into the image and the border painted there. Only the view is touched, so the image
// needs no restoring afterwards and the cost follows the view's size, not the image's; a view
// pixel the piece covers is written once.
void PaintViewWithPiece(PixelBuffer& view, const ImageBox& box, int x, int y) {
    const FloatingPieceRecord& p = FloatingPiece;
    const PixelBuffer& piece = *p.pieceBitmap;
    const PixelBuffer& mask = *p.maskBitmap;
    const int cw = view.Width();
    const int ch = view.Height();
    const float zoom = ImageState.ZoomFactor;
    const float inv = 1.0f / zoom;
    const int srcX = static_cast<int>(static_cast<float>(box.scrollX) * inv);
    const int srcY = static_cast<int>(static_cast<float>(box.scrollY) * inv);
    const int srcW = static_cast<int>(static_cast<float>(cw) * inv);
    const int srcH = static_cast<int>(static_cast<float>(ch) * inv);
    if (cw <= 0 || ch <= 0 || srcW <= 0 || srcH <= 0) return;
    const PixelBuffer& image = *box.workBitmap;
    // The pasted part (through the mask) and the bordered part, in mask coordinates.
    const int pasteW = std::min(piece.Width(), mask.Width());
    const int pasteH = std::min(piece.Height(), mask.Height());
    const int borderW = std::min({static_cast<int>(p.pieceWidth), image.Width() - x, mask.Width()});
    const int borderH = std::min({static_cast<int>(p.pieceHeight), image.Height() - y, mask.Height()});
    const bool transparent = PaintSettings.Trans != 0;
    const raster::Colour bg = PaintSettings.BColor;
    const auto skipB = static_cast<std::uint8_t>(raster::BlueOf(bg));
    const auto skipG = static_cast<std::uint8_t>(raster::GreenOf(bg));
    const auto skipR = static_cast<std::uint8_t>(raster::RedOf(bg));
    const int phaseBase = static_cast<int>(ImageState.AntsPhase) + borderW + borderH;
    // Per view column: the image column it shows and the mask column, or -1. The image's
    // columns are one run of view columns.
    const std::vector<int> imageColumns = ViewSources(cw, srcX, srcW, image.Width());
    std::vector<int> columns(imageColumns.size(), -1);
    int pictureFirst = cw;
    int pictureEnd = 0;
    for (int d = 0; d < cw; ++d) {
        const int sx = imageColumns[static_cast<std::size_t>(d)];
        if (sx < 0) continue;
        pictureFirst = std::min(pictureFirst, d);
        pictureEnd = d + 1;
        if (sx - x >= 0 && sx - x < mask.Width()) columns[static_cast<std::size_t>(d)] = sx - x;
    }
    if (pictureFirst >= pictureEnd) return;
    const std::vector<int> rows = ViewSources(ch, srcY, srcH, image.Height());
    // At 100 % the view's columns are the image's, one after the other: rows are copied
    // whole, whole runs of the piece over them, and the border bytes painted over those.
    bool contiguous = !transparent;
    for (int c = pictureFirst + 1; c < pictureEnd && contiguous; ++c) {
        contiguous = imageColumns[static_cast<std::size_t>(c)] == imageColumns[static_cast<std::size_t>(c - 1)] + 1;
    }
    const int firstImageColumn = imageColumns[static_cast<std::size_t>(pictureFirst)];
    const std::size_t pictureBytes = static_cast<std::size_t>(3 * (pictureEnd - pictureFirst));
    RunRowsInParallel(ch, pictureEnd - pictureFirst, [&](int firstRow, int endRow) {
        for (int d = firstRow; d < endRow; ++d) {
            const int sy = rows[static_cast<std::size_t>(d)];
            if (sy < 0) continue;
            std::uint8_t* out = view.Row(d);
            // Rows that show one image row again (zoomed in) are that row's copy.
            if (d > firstRow && rows[static_cast<std::size_t>(d - 1)] == sy) {
                std::memcpy(out + 3 * pictureFirst, view.Row(d - 1) + 3 * pictureFirst, pictureBytes);
                continue;
            }
            const std::uint8_t* picture = image.Row(sy);
            const int my = sy - y;
            const bool pieceRow = my >= 0 && my < mask.Height();
            const std::uint8_t* m = pieceRow ? mask.Row(my) : nullptr;
            const std::uint8_t* src = pieceRow && my < pasteH ? piece.Row(my) : nullptr;
            const bool borderRow = pieceRow && my < borderH;
            if (contiguous) {
                std::memcpy(out + 3 * pictureFirst, picture + 3 * firstImageColumn, pictureBytes);
                if (!pieceRow) continue;
                // o + 3 * mx is the view byte of mask column mx.
                std::uint8_t* o = out + 3 * (pictureFirst + x - firstImageColumn);
                const int first = std::max(firstImageColumn - x, 0);
                const int end = std::min(firstImageColumn + pictureEnd - pictureFirst - x, mask.Width());
                if (first >= end) continue;
                if (src) {
                    maskruns::ForEachSelectedRun(m, first, std::min(end, pasteW), [&](int a, int b) {
                        std::memcpy(o + 3 * a, src + 3 * a, static_cast<std::size_t>(3 * (b - a)));
                    });
                }
                if (!borderRow) continue;
                const int borderEnd = std::min(end, borderW);
                for (int mx = first; mx < borderEnd; ++mx) {
                    const void* next = std::memchr(m + mx, kMaskBorder, static_cast<std::size_t>(borderEnd - mx));
                    if (!next) break;
                    mx = static_cast<int>(static_cast<const std::uint8_t*>(next) - m);
                    const std::uint8_t g = (phaseBase - mx - my) % 5 < 2 ? 255 : 0;
                    o[3 * mx] = g;
                    o[3 * mx + 1] = g;
                    o[3 * mx + 2] = g;
                }
                continue;
            }
            for (int c = pictureFirst; c < pictureEnd; ++c) {
                const int sx = imageColumns[static_cast<std::size_t>(c)];
                if (sx < 0) continue;
                const std::uint8_t* shown = picture + 3 * sx;
                std::uint8_t* o = out + 3 * c;
                const int mx = columns[static_cast<std::size_t>(c)];
                if (pieceRow && mx >= 0 && m[mx] != kMaskOutside) {
                    if (m[mx] == kMaskBorder && borderRow && mx < borderW) {
                        const std::uint8_t g = (phaseBase - mx - my) % 5 < 2 ? 255 : 0;
                        o[0] = g;
                        o[1] = g;
                        o[2] = g;
                        continue;
                    }
                    if (src && mx < pasteW) {
                        const std::uint8_t* s = src + 3 * mx;
                        if (!transparent || s[0] != skipB || s[1] != skipG || s[2] != skipR) shown = s;
                    }
                }
                o[0] = shown[0];
                o[1] = shown[1];
                o[2] = shown[2];
            }
        }
    });
}

}  // namespace

void NoteWorkEqualsUndo() {
    const ImageBox& box = CurrentBox();
    ImageState.CleanWorkEditCount = ImageState.EditCount;
    ImageState.CleanWork = box.workBitmap;
    ImageState.CleanUndo = box.undoBitmap;
}

bool WorkKnownEqualToUndo() {
    const ImageBox& box = CurrentBox();
    return box.workBitmap && box.undoBitmap && ImageState.CleanWorkEditCount == ImageState.EditCount &&
           ImageState.CleanWork == box.workBitmap && ImageState.CleanUndo == box.undoBitmap;
}

void ForgetWorkEqualsUndo() { ImageState.CleanWork = nullptr; }

void AdvancePieceBorder() {
    ImageState.AntsPhase = (ImageState.AntsPhase + 1) % 5;
    if (ImageBox& box = CurrentBox(); box.window) box.window->SetTimer(kTimerBorder, kBorderPeriodMs);
}

void ShowPiece(raster::DrawingContext* dc, int x, int y, bool drop) {
    FloatingPieceRecord& p = FloatingPiece;
    ImageBox& box = CurrentBox();
    if (!p.pieceBitmap || !p.maskBitmap || !box.workBitmap) return;
    raster::DrawingContext* target = dc ? dc : (box.window ? &box.window->GetDC() : nullptr);
    PixelBuffer* view = target ? target->SelectedBitmap() : nullptr;
    // Shown without dropping over a clean image, the piece goes straight onto the view: the
    // image would be given back its undo copy afterwards anyway.
    if (!drop && WorkKnownEqualToUndo() && (!view || view->BitsPerPixel() == 24)) {
        AdvancePieceBorder();
        if (!view) return;
        PaintViewMargins(*target, box);
        PaintViewWithPiece(*view, box, x, y);
        return;
    }
    PastePieceThroughMask(*box.workBitmap, x, y, *p.pieceBitmap, *p.maskBitmap, PaintSettings.Trans != 0,
                          PaintSettings.BColor);
    if (!drop) DrawPieceBorder(x, y, static_cast<int>(p.pieceWidth), static_cast<int>(p.pieceHeight));
    if (target) PaintView(*target, box);
    if (drop) {
        ForgetWorkEqualsUndo();
    } else if (box.undoBitmap) {
        CopyPixels(box.workBitmap, box.undoBitmap);
        const bool same = box.undoBitmap->Width() == box.workBitmap->Width() &&
                          box.undoBitmap->Height() == box.workBitmap->Height() &&
                          box.undoBitmap->BitsPerPixel() == box.workBitmap->BitsPerPixel();
        if (same) NoteWorkEqualsUndo();
    }
}

const PixelBuffer* PictureAsShown(std::unique_ptr<PixelBuffer>& merged) {
    const ImageBox& box = CurrentBox();
    const FloatingPieceRecord& p = FloatingPiece;
    if (!box.workBitmap) return nullptr;
    if (!PieceOnCanvas() || !p.pieceBitmap || !p.maskBitmap) return box.workBitmap;
    raster::BitmapInfo header;
    merged = CreatePixelBuffer(box.workBitmap->Width(), box.workBitmap->Height(), 24, header, nullptr);
    if (!merged) {
        platform::ShowMessageBox(kNoMemoryBitmap, platform::kCaptionOutOfMemory, platform::MessageButtons::Ok,
                                 platform::MessageIcon::Stop);
        return nullptr;
    }
    CopyPixels(merged.get(), box.workBitmap);
    PastePieceThroughMask(*merged, p.pieceX, p.pieceY, *p.pieceBitmap, *p.maskBitmap, PaintSettings.Trans != 0,
                          PaintSettings.BColor);
    return merged.get();
}

int WithPictureAsShown(const std::function<int(const PixelBuffer&)>& use) {
    ImageBox& box = CurrentBox();
    const FloatingPieceRecord& p = FloatingPiece;
    if (!box.workBitmap) return 0;
    const bool sameShape = box.undoBitmap && box.undoBitmap->Width() == box.workBitmap->Width() &&
                           box.undoBitmap->Height() == box.workBitmap->Height() &&
                           box.undoBitmap->BitsPerPixel() == 24 && box.workBitmap->BitsPerPixel() == 24;
    if (!PieceOnCanvas() || !p.pieceBitmap || !p.maskBitmap || !sameShape || !WorkKnownEqualToUndo()) {
        std::unique_ptr<PixelBuffer> merged;
        const PixelBuffer* picture = PictureAsShown(merged);
        return picture ? use(*picture) : 0;
    }
    PixelBuffer& work = *box.workBitmap;
    const PixelBuffer& undo = *box.undoBitmap;
    // Given back however use ends.
    struct GiveBack {
        PixelBuffer& work;
        const PixelBuffer& undo;
        int left, top, right, bottom;
        ~GiveBack() {
            for (int y = top; y < bottom; ++y) {
                std::memcpy(work.Row(y) + 3 * left, undo.Row(y) + 3 * left, static_cast<std::size_t>(3 * (right - left)));
            }
        }
    };
    const GiveBack giveBack{work,
                            undo,
                            std::clamp(p.pieceX, 0, work.Width()),
                            std::clamp(p.pieceY, 0, work.Height()),
                            std::clamp(p.pieceX + static_cast<int>(p.pieceWidth), 0, work.Width()),
                            std::clamp(p.pieceY + static_cast<int>(p.pieceHeight), 0, work.Height())};
    PastePieceThroughMask(work, p.pieceX, p.pieceY, *p.pieceBitmap, *p.maskBitmap, PaintSettings.Trans != 0,
                          PaintSettings.BColor);
    return use(work);
}

ScrollBarLayout ComputeScrollBars(int windowWidth, int windowHeight, bool sideColourBar, int scrollBarHeight,
                                  int imageWidth, int imageHeight, float zoom, std::int32_t scrollX,
                                  std::int32_t scrollY, float fx, float fy) {
    int aw = windowWidth - (sideColourBar ? 2 : 1);
    int ah = windowHeight - 2;
    const float zw = static_cast<float>(imageWidth) * zoom;
    const float zh = static_cast<float>(imageHeight) * zoom;
    const bool horizontalNeeded = zw > static_cast<float>(aw);
    if (horizontalNeeded) ah -= scrollBarHeight;
    if (zh > static_cast<float>(ah)) {
        aw -= scrollBarHeight;
        if (!horizontalNeeded && zw > static_cast<float>(aw)) ah -= scrollBarHeight;
    }
    ScrollBarLayout layout;
    layout.maxX = static_cast<int>(std::max(0.0f, zw - static_cast<float>(aw)));
    layout.maxY = static_cast<int>(std::max(0.0f, zh - static_cast<float>(ah)));
    if (fx > 0.0f || fy > 0.0f) {
        scrollX = static_cast<std::int32_t>(static_cast<float>(layout.maxX) * fx);
        scrollY = static_cast<std::int32_t>(static_cast<float>(layout.maxY) * fy);
    }
    // A target left of or above the image (a zoom tap released outside the window) is the edge.
    layout.scrollX = std::clamp(scrollX, 0, layout.maxX);
    layout.scrollY = std::clamp(scrollY, 0, layout.maxY);
    layout.rangeX = static_cast<int>(zw);
    layout.rangeY = static_cast<int>(zh);
    layout.pageX = aw;
    layout.pageY = ah;
    return layout;
}

void SetupScrollBars(std::uint32_t slot, float fx, float fy) {
    if (slot == 0 || slot >= kImageSlots) return;
    // A bar that appears or goes changes the client size, and the size message comes back
    // here; the window rectangle is the same, so the outer call's result stands.
    static bool busy = false;
    if (busy) return;
    busy = true;
    ImageBox& box = ImageBoxTable[slot];
    int windowWidth = 0;
    int windowHeight = 0;
    if (box.window) {
        const raster::Rect r = box.window->WindowRect();
        windowWidth = r.Width();
        windowHeight = r.Height();
    }
    const bool sideColourBar = ImageHooks.colourBarBesideCanvas && ImageHooks.colourBarBesideCanvas();
    const ScrollBarLayout layout =
        ComputeScrollBars(windowWidth, windowHeight, sideColourBar, platform::ScrollBarHeight(), box.width,
                          box.height, ImageState.ZoomFactor, box.scrollX, box.scrollY, fx, fy);
    box.scrollX = layout.scrollX;
    box.scrollY = layout.scrollY;
    if (box.window) {
        box.window->SetScrollBar(platform::ScrollBarKind::Horizontal,
                                 platform::ScrollBarInfo{0, layout.rangeX, layout.pageX, layout.scrollX}, true);
        box.window->SetScrollBar(platform::ScrollBarKind::Vertical,
                                 platform::ScrollBarInfo{0, layout.rangeY, layout.pageY, layout.scrollY}, true);
    }
    busy = false;
}

float ZoomCommandFactor(int commandId, float current) {
    switch (commandId) {
        case 3006: return current * 2.0f;
        case 3007: return current * 0.5f;
        case 3008: return 1.0f;
        case 3201: return 0.125f;
        case 3202: return 0.25f;
        case 3203: return 1.0f / 3.0f;
        case 3204: return 0.5f;
        case 3205: return 0.75f;
        case 3206: return 1.0f;
        case 3207: return 2.0f;
        case 3208: return 3.0f;
        case 3209: return 4.0f;
        case 3210: return 8.0f;
        default: return 0.0f;
    }
}

void ZoomAt(float newZoom, int viewX, int viewY) {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap || box.width <= 0 || box.height <= 0) return;
    const float inv = 1.0f / ImageState.ZoomFactor;
    const int sx = static_cast<int>(static_cast<float>(box.scrollX) * inv);
    const int sy = static_cast<int>(static_cast<float>(box.scrollY) * inv);
    const float fx = static_cast<float>(viewX + sx) / static_cast<float>(box.width);
    const float fy = static_cast<float>(viewY + sy) / static_cast<float>(box.height);
    ImageState.ZoomFactor = ClampZoom(newZoom);
    SetupScrollBars(ImageState.CurrentImage, fx, fy);
    RepaintWholeView();
}

void ZoomCommand(int commandId) {
    const float factor = ZoomCommandFactor(commandId, ImageState.ZoomFactor);
    ImageBox& box = CurrentBox();
    if (factor == 0.0f || !box.workBitmap) return;
    const raster::Rect client = box.window ? box.window->ClientRect() : raster::Rect{};
    const float inv = 1.0f / ImageState.ZoomFactor;
    box.anchorX = static_cast<int>(static_cast<float>(client.Width() / 2) * inv);
    box.anchorY = static_cast<int>(static_cast<float>(client.Height() / 2) * inv);
    ZoomAt(factor, box.anchorX, box.anchorY);
}
