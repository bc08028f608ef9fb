// How the process takes memory for its pictures.
#pragma once

namespace platform {

// Large buffers given back are kept for the next one instead of being returned to the system:
// a selection, a filter or an undo copy of a 12-megapixel picture makes buffers of tens of
// megabytes again and again, and every fresh one costs the system a page fault per 4 KiB.
// Called once, first thing in main.
void KeepLargeBuffersForReuse();

}  // namespace platform
