// The brush picker: the brush sheet in a popup above the command bar; a lift on a cell
// chooses that shape and size. The tool bar's brush button shows the current brush.
#pragma once

#include <string>
#include <vector>

#include "platform/raster/Bitmap.h"
#include "platform/raster/Draw.h"

namespace platform {
class WindowHandler;
}

constexpr int kBrushPickerWidth = 185;
constexpr int kBrushPickerHeight = 145;

// The sheet's cell (column, row) that shows the current shape and size.
raster::Point BrushSheetCell();

// The tool bar's brush button: the current brush's cell at (202, 2), white left out.
void DrawBrushIcon(raster::DrawingContext& dc);

// The shape and size a lift at (x, y) in the picker chooses; false off the sheet's cells
// (a lift there closes the picker with the brush as it was).
bool BrushPickAt(int x, int y, int& shape, int& size);

// The current brush in words, "Soft Round Brush, size 17".
std::string BrushName();

// The sizes the picker offers for a shape, smallest first.
std::vector<int> BrushSizesFor(int shape);
// Steps the brush size to the picker's next smaller (direction < 0) or larger size for the
// current shape and redraws the brush button. False when there is none that way.
bool StepBrushSize(int direction);

void OpenBrushPicker();
// Closes the picker with the brush as it was; whether it was open.
bool CloseBrushPickerUnchanged();
platform::WindowHandler* BrushPickerProcedure();
