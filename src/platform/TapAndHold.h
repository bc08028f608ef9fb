// The tap-and-hold gesture: the secondary action of every panel.
#pragma once

#include "platform/Window.h"

namespace platform {

// The result a recogniser reports for the secondary action.
constexpr int kGestureContextMenu = 1000;

// Call at stylus-down with the client point: kGestureContextMenu when the press is the
// secondary action (the right button, or held still for about half a second), else 0.
// Events that arrive while it waits are delivered to the window afterwards.
int RecognizeTapAndHold(Window& window, int x, int y);

}  // namespace platform
