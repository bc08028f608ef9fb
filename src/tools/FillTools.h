// Flood fill and gradients: the fill on stylus-up, the linear or circular gradient from the
// stylus-down point to the stylus-up point, over the image (50) or the floating piece (51).
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& FillTools();
