// The brush picker: the brush sheet in a popup above the command bar; a lift on a cell
// chooses that shape and size. The tool bar's brush button shows the current brush.
#pragma once

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

// The shape and size a lift at (x, y) in the picker chooses; false off the sheet's rows.
bool BrushPickAt(int x, int y, int& shape, int& size);

void OpenBrushPicker();
platform::WindowHandler* BrushPickerProcedure();
