#include "platform/FilterPump.h"

#include <utility>

namespace platform {

namespace {
std::function<void()> g_pump;
}

void SetFilterMessagePump(std::function<void()> pump) { g_pump = std::move(pump); }

void PumpFilterMessages() {
    if (g_pump) g_pump();
}

}  // namespace platform
