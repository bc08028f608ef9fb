// What the status bar says: the point under the pointer and its colour, the picture's size,
// the floating piece's size and the zoom. It catches up after every message, as the title
// does, and changes nothing on the canvas.
#pragma once

#include <string>

#include "platform/Chrome.h"

// "100 %", "12.5 %", "33.3 %".
std::string ZoomPercentText(float zoom);

// The fields as things stand.
platform::StatusFields StatusFieldsNow();

// Gives the status bar the fields as things stand.
void UpdateStatusBar();
