#include <algorithm>
#include <string>

#include "filters/FilterEngine.h"
#include "filters/Operations.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/View.h"
#include "platform/Window.h"

namespace {

// The picture rows the view shows (PaintView's stretch reads no others), with a row to spare
// on each side; empty when the view shows no picture.
void VisibleRows(const ImageBox& box, int& first, int& end) {
    first = end = 0;
    if (!box.window || !box.workBitmap) return;
    const float inv = 1.0f / ImageState.ZoomFactor;
    const int viewHeight = box.window->ClientRect().Height();
    const int top = static_cast<int>(static_cast<float>(box.scrollY) * inv);
    const int rows = static_cast<int>(static_cast<float>(viewHeight) * inv);
    first = std::clamp(top - 1, 0, box.workBitmap->Height());
    end = std::clamp(top + rows + 1, first, box.workBitmap->Height());
}

}  // namespace

int RunFilterPreview(const FilterArguments& arguments) {
    if (FilterState.FilterId == FILTER_NONE) return 0;
    CopyPixels(FilterTarget(), FilterSource());
    const bool onPicture = PaintSettings.Tool != kToolFloatingPiece && FilterTarget() == CurrentBox().workBitmap;
    if (onPicture) {
        // On a large picture the rows in the view go first and are shown as soon as they are
        // made: the user sees the new values at once, and the rest follows.
        VisibleRows(CurrentBox(), FilterState.firstRowsBegin, FilterState.firstRowsEnd);
        FilterState.firstRowsDone = [] { RepaintView(true); };
    }
    if (const Operation* operation = OperationByFilterId(FilterState.FilterId)) {
        // A preview shows what the filter made of the image, whatever it reports.
        std::string ignored;
        operation->run(arguments, ignored);
    }
    FilterState.firstRowsBegin = FilterState.firstRowsEnd = 0;
    FilterState.firstRowsDone = nullptr;
    if (PaintSettings.Tool == kToolFloatingPiece) {
        ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false);
    } else {
        RepaintView(true);
    }
    return 1;
}
