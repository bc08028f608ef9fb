// How the process takes memory for its pictures.
#pragma once

#include <cstdint>

namespace platform {

// Large buffers given back are kept for the next one instead of being returned to the system:
// a selection, a filter or an undo copy of a 12-megapixel picture makes buffers of tens of
// megabytes again and again, and every fresh one costs the system a page fault per 4 KiB.
// Called once, first thing in main.
void KeepLargeBuffersForReuse();

// The machine's physical memory in bytes; 0 when the system does not say.
std::uint64_t PhysicalMemoryBytes();

}  // namespace platform
