// The program icon, drawn in code.
#pragma once

#include <memory>

#include "platform/raster/Bitmap.h"

// The 32 x 32 program icon: a framed canvas with three paint strokes. Null when memory is short.
std::unique_ptr<raster::Bitmap> MakeProgramIcon();
