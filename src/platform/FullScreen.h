// Full screen: the title bar and task bar hidden and the main window over the whole screen,
// or the normal window. There is no soft input panel on this platform.
#pragma once

namespace platform {

void SetFullScreen(bool on);

}  // namespace platform
