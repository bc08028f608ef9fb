// The retouch brushes: blur, sharpen, smudge, red-eye reduction, lighter, darker, tint and
// healing brush. Each move dabs at the stylus point; the smudge draws a stroke segment.
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& RetouchTools();
