// Handing waiting events on while a long filter runs, so the filter dialog stays alive and
// can ask for a fresh preview. The Qt layer installs the real pump; without one (the batch
// tool, tests) pumping does nothing.
#pragma once

#include <functional>

namespace platform {

// Installs the routine that dispatches every waiting event and returns when none is left;
// an empty function removes it.
void SetFilterMessagePump(std::function<void()> pump);

// Runs the installed pump once, or does nothing when none is installed.
void PumpFilterMessages();

}  // namespace platform
