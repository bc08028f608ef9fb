// The benchmarks take memory as the program does.
#include "platform/Memory.h"

namespace {

const bool kMemorySettled = [] {
    platform::KeepLargeBuffersForReuse();
    return true;
}();

}  // namespace
