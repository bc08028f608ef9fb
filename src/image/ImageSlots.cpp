#include "image/ImageSlots.h"

ImageBox ImageBoxTable[kImageSlots];
std::uint32_t CurrentImage = 0;
FloatingPieceRecord FloatingPiece;

void ResetImageState() {
    for (ImageBox& box : ImageBoxTable) box = ImageBox{};
    CurrentImage = 0;
    FloatingPiece = FloatingPieceRecord{};
}
