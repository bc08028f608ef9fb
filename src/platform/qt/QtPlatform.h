// Putting the program on Qt: installs every platform service, and renders the screen
// into an image for screenshots.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {
class SettingsStore;
}

namespace raster {
class Bitmap;
}

namespace platform::qt {

class QtBusyService;
class QtWindowSystem;

// Installs the window system, message boxes, file dialogs, fonts, the settings store and
// the event pump. A QApplication must exist. Without a store given, the user's settings
// file serves. The screen starts at the given size, or without one at the program's usual
// size fitted into the desktop's available area.
void InstallQtPlatform(SettingsStore* settings = nullptr, int screenWidth = 0, int screenHeight = 0);
// Removes them again, closing every window (tests).
void UninstallQtPlatform();
// The icon of every window of the program, drawn by the program: draw gives the icon at
// size x size pixels as rows of red, green, blue and alpha bytes from the top.
void SetProgramIcon(std::vector<std::uint8_t> (*draw)(int size));
QtWindowSystem* InstalledSystem();
QtBusyService* InstalledBusy();

// The screen as it looks now: every window, the command bar and the dialogs on it.
QImage GrabScreen();
bool SaveScreenshot(const QString& path);

}  // namespace platform::qt
