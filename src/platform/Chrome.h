// What a desktop window has around the screen area, as its title bar is: the status bar
// under the command bar, and the window's own place on the desktop. Neither changes what the
// screen area shows. The Qt layer installs the real one; without it an in-memory one keeps
// what it is told (tests, the batch tool).
#pragma once

#include <string>
#include <vector>

#include "platform/raster/Draw.h"

namespace platform {

// One line of facts about the picture. Empty texts are left out.
struct StatusFields {
    std::string pointer;  // the image point under the pointer, "120, 45"
    std::string colour;   // the colour there, "R 255  G 0  B 0  #FF0000"
    int colourValue = -1; // the same colour as 0x00BBGGRR for a sample square, -1 for none
    std::string size;     // the picture's size, "640 × 480"
    std::string piece;    // the floating piece's size, "Selection 20 × 30"
    std::string zoom;     // "100 %"
    bool operator==(const StatusFields&) const = default;
};

// The window's place: its outer rectangle on the desktop (frame left out) as it is when
// not maximised, and whether it is maximised.
struct WindowPlacement {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool maximised = false;
};

class WindowChrome {
public:
    virtual ~WindowChrome() = default;
    virtual void ShowStatusBar(bool shown) = 0;
    virtual bool StatusBarShown() const = 0;
    // Shows the fields; nothing else is drawn again for them.
    virtual void SetStatusFields(const StatusFields& fields) = 0;
    // A short note beside the fields for a few seconds ("Brush size 9").
    virtual void ShowStatusNote(const std::string& note) = 0;

    // False when there is no window to ask.
    virtual bool Placement(WindowPlacement& out) const = 0;
    virtual void Place(const WindowPlacement& placement) = 0;
    // The rectangles of the desktop's screens, and the smallest window the program allows.
    virtual std::vector<raster::Rect> Screens() const = 0;
    virtual void MinimumSize(int& width, int& height) const = 0;
};

class MemoryChrome : public WindowChrome {
public:
    void ShowStatusBar(bool shown) override { statusShown = shown; }
    bool StatusBarShown() const override { return statusShown; }
    void SetStatusFields(const StatusFields& value) override { fields = value; }
    void ShowStatusNote(const std::string& value) override { note = value; }
    bool Placement(WindowPlacement& out) const override;
    void Place(const WindowPlacement& value) override;
    std::vector<raster::Rect> Screens() const override { return screens; }
    void MinimumSize(int& width, int& height) const override;

    bool statusShown = true;
    StatusFields fields;
    std::string note;
    bool hasWindow = false;
    WindowPlacement placement;
    std::vector<raster::Rect> screens;
    int minimumWidth = 0;
    int minimumHeight = 0;
};

// Installs the chrome used from now on; null returns to the process's in-memory one.
void SetWindowChrome(WindowChrome* chrome);
WindowChrome& Chrome();
// The process's in-memory chrome back as it starts (tests).
void ResetMemoryChrome();

// Whether a stored place can be used on these screens: no smaller than the minimum and
// wholly on one of them (a screen unplugged since, or a smaller one now, rules it out).
bool PlacementFits(const WindowPlacement& placement, const std::vector<raster::Rect>& screens, int minimumWidth,
                   int minimumHeight);

}  // namespace platform
