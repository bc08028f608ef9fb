// The program icon, drawn in code.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/raster/Bitmap.h"

// The program's icon at size x size pixels: a white canvas with three paint strokes and a
// brush across it, on a dark rounded tile. Drawn from shapes with their edges blended, so
// every size is sharp. Rows of red, green, blue and alpha bytes from the top; empty for a
// size below 1.
std::vector<std::uint8_t> DrawProgramIcon(int size);

// The 32 x 32 program icon laid over white, as dialogs show it. Null when memory is short.
std::unique_ptr<raster::Bitmap> MakeProgramIcon();
