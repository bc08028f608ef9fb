#include <string>

#include "filters/FilterEngine.h"
#include "filters/Operations.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/View.h"

int RunFilterPreview(const FilterArguments& arguments) {
    if (FilterState.FilterId == FILTER_NONE) return 0;
    CopyPixels(FilterTarget(), FilterSource());
    if (const Operation* operation = OperationByFilterId(FilterState.FilterId)) {
        // A preview shows what the filter made of the image, whatever it reports.
        std::string ignored;
        operation->run(arguments, ignored);
    }
    if (PaintSettings.Tool == kToolFloatingPiece) {
        ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false);
    } else {
        RepaintView(true);
    }
    return 1;
}
