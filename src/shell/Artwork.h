// The program's own small images, drawn in code: the command bar's button strip and the
// program icon.
#pragma once

#include <memory>

#include "platform/raster/Bitmap.h"

// Six 16 x 16 images side by side: 0 and 1 blank, 2 a square (replace), 3 a plus (add),
// 4 a minus (subtract), 5 the undo arrow. Null when memory is short.
std::unique_ptr<raster::Bitmap> MakeCommandBarStrip();

// The 32 x 32 program icon: a framed canvas with three paint strokes. Null when memory is short.
std::unique_ptr<raster::Bitmap> MakeProgramIcon();
