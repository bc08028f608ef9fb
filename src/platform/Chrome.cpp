#include "platform/Chrome.h"

namespace platform {

namespace {
WindowChrome* g_chrome = nullptr;

MemoryChrome& Memory() {
    static MemoryChrome memory;
    return memory;
}
}  // namespace

bool MemoryChrome::Placement(WindowPlacement& out) const {
    if (!hasWindow) return false;
    out = placement;
    return true;
}

void MemoryChrome::Place(const WindowPlacement& value) {
    placement = value;
    hasWindow = true;
}

void MemoryChrome::MinimumSize(int& width, int& height) const {
    width = minimumWidth;
    height = minimumHeight;
}

void SetWindowChrome(WindowChrome* chrome) { g_chrome = chrome; }

WindowChrome& Chrome() {
    if (g_chrome) return *g_chrome;
    return Memory();
}

void ResetMemoryChrome() { Memory() = MemoryChrome{}; }

bool PlacementFits(const WindowPlacement& p, const std::vector<raster::Rect>& screens, int minimumWidth,
                   int minimumHeight) {
    if (p.width < minimumWidth || p.height < minimumHeight || p.width <= 0 || p.height <= 0) return false;
    for (const raster::Rect& s : screens) {
        if (p.x >= s.left && p.y >= s.top && p.x + p.width <= s.right && p.y + p.height <= s.bottom) return true;
    }
    return false;
}

}  // namespace platform
