#include "filters/TargetBuffers.h"

#include <cstring>
#include <new>

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "platform/MessageBox.h"

namespace {

std::unique_ptr<raster::DrawingContext> WrapInContext(std::unique_ptr<PixelBuffer> buffer, PixelBuffer*& selected) {
    selected = buffer.get();
    std::unique_ptr<raster::DrawingContext> dc(new (std::nothrow) raster::DrawingContext(std::move(buffer)));
    if (!dc) selected = nullptr;
    return dc;
}

}  // namespace

PixelBuffer* TargetMask() {
    if (!PieceOnCanvas() || !FloatingPiece.maskDc) return nullptr;
    return FloatingPiece.maskBitmap;
}

PixelBuffer* SourceMask() {
    if (!PieceOnCanvas() || !FloatingPiece.maskDc || !FloatingPiece.maskUndoDc) return nullptr;
    FillBlankPieceTwins();
    return FloatingPiece.maskUndoBitmap;
}

bool MakeReplacementTarget(int width, int height, bool withMask, ReplacementTarget& out, NewPixels start) {
    out = ReplacementTarget{};
    std::unique_ptr<PixelBuffer> pixels = CreatePixelBuffer(width, height, 24, out.header, nullptr);
    if (!pixels) return false;
    // The padding at the end of each row goes into files as it is: make it zero.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t padding = static_cast<std::size_t>(pixels->Stride()) - rowBytes;
    if (padding) {
        for (int y = 0; y < height; ++y) std::memset(pixels->Row(y) + rowBytes, 0, padding);
    }
    out.dc = WrapInContext(std::move(pixels), out.bitmap);
    if (!out.dc) return false;
    if (start == NewPixels::Background) FillWithBackground(*out.dc, width, height);
    if (withMask) {
        raster::BitmapInfo maskHeader;
        std::unique_ptr<PixelBuffer> mask = CreatePixelBuffer(width, height, 8, maskHeader, nullptr);
        if (!mask) {
            out = ReplacementTarget{};
            return false;
        }
        std::memset(mask->Bits(), kMaskOutside, mask->ByteSize());
        out.maskDc = WrapInContext(std::move(mask), out.mask);
        if (!out.maskDc) {
            out = ReplacementTarget{};
            return false;
        }
    }
    out.width = width;
    out.height = height;
    return true;
}

bool MakeReplacementForTarget(int width, int height, ReplacementTarget& out, NewPixels start) {
    const bool withMask = PieceOnCanvas() && FloatingPiece.maskDc != nullptr;
    if (MakeReplacementTarget(width, height, withMask, out, start)) return true;
    ReportNoMemoryForTarget();
    return false;
}

void ReportNoMemoryForTarget() {
    platform::ShowMessageBox(PieceOnCanvas() ? kNoMemoryBrush : kNoMemoryBitmap, platform::kCaptionOutOfMemory,
                             platform::MessageButtons::Ok, platform::MessageIcon::Stop);
}

void InstallImageTarget(ReplacementTarget& replacement) {
    ImageBox& box = CurrentBox();
    box.workDc = std::move(replacement.dc);
    box.workBitmap = replacement.bitmap;
    box.bitmapInfo = replacement.header;
    box.width = replacement.width;
    box.height = replacement.height;
    box.scrollX = 0;
    box.scrollY = 0;
    replacement.bitmap = nullptr;
}

void InstallPieceTarget(ReplacementTarget& replacement) {
    FloatingPieceRecord& piece = FloatingPiece;
    piece.pieceDc = std::move(replacement.dc);
    piece.pieceBitmap = replacement.bitmap;
    if (replacement.maskDc) {
        piece.maskDc = std::move(replacement.maskDc);
        piece.maskBitmap = replacement.mask;
    }
    piece.pieceWidth = static_cast<std::uint32_t>(replacement.width);
    piece.pieceHeight = static_cast<std::uint32_t>(replacement.height);
    replacement.bitmap = nullptr;
    replacement.mask = nullptr;
}

void InstallReplacementTarget(ReplacementTarget& replacement) {
    if (PieceOnCanvas()) {
        InstallPieceTarget(replacement);
    } else {
        InstallImageTarget(replacement);
    }
}
