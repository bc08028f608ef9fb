// Start-up, the main frame and the division of the screen between the canvas window of the
// current image, the colour bar and the tool bar.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/raster/Bitmap.h"
#include "platform/raster/Draw.h"

namespace platform {
class Window;
class WindowHandler;
}

enum : std::uint32_t { kColourBarTop = 0, kColourBarLeft = 1, kColourBarRight = 2, kColourBarBottom = 3 };

struct ShellStateRecord {
    platform::Window* MainWindow = nullptr;
    std::int32_t FrameTop = 0;          // the main window's top edge as created
    std::int32_t CommandBarHeight = 0;  // measured again at every size change
    std::uint32_t HighResolution = 0;
    std::uint32_t FullScreen = 0;
    std::uint32_t LayoutBusy = 0;  // size messages do no layout meanwhile
    platform::Window* ColourBarWindow = nullptr;  // null while the colour bar is hidden
    platform::Window* ToolBarWindow = nullptr;    // null while the tool bar is hidden
    std::uint8_t StandardColoursMode = 1;         // 1 thirty standard colours, 0 spectrum
    std::uint32_t ColourBarPosition = kColourBarBottom;
    std::uint32_t FrameFlag = 1;  // toggled by command 32768
    std::string ProgramPath;
    std::string ProgramFolder;
    std::unique_ptr<raster::Font> BoldFont;
    // The main window whose recovery timer runs; null when none runs (a new main window has
    // none running).
    platform::Window* RecoveryTimerWindow = nullptr;
};

extern ShellStateRecord ShellState;

// Back to the initial shell state (tests). Windows are not touched.
void ResetShellState();

// The colour bar's thickness: 13 for the standard colours, 21 for the spectrum.
int ColourBarThickness();
// True when the colour bar is shown at the Left or Right, beside the canvas.
bool ColourBarBesideCanvas();

// Where LayoutBars puts each window (x, y, width, height in the main window's client
// coordinates); a window that is not shown keeps an empty rectangle.
struct BarLayout {
    raster::Rect canvas{};
    raster::Rect colourBar{};
    raster::Rect toolBar{};
};

struct BarLayoutInput {
    int screenWidth = 0;
    int screenHeight = 0;
    int highResolution = 0;
    int fullScreen = 0;
    int frameTop = 0;
    int commandBarHeight = 0;
    bool colourBarShown = false;
    int colourBarThickness = 13;
    std::uint32_t colourBarPosition = kColourBarBottom;
    bool toolBarShown = false;
};

// The layout arithmetic of LayoutBars.
BarLayout ComputeBarLayout(const BarLayoutInput& in);

// 1 when the screen is wider or taller than 320 pixels or reports more than 100 dots per inch.
std::uint32_t HighResolutionFor(int screenWidth, int screenHeight, int logicalDpi);

// ProgramPath up to its last "/"; "/" when there is none.
std::string ProgramFolderOf(const std::string& programPath);

// The main window's title: "NAME - Pixelwright", NAME being the document's file name or
// "untitled", with "*" before it while the picture has unsaved changes.
std::string WindowTitleText(const std::string& path, bool modified);
// Brings the main window's title up to date with the document; the program's idle work.
void UpdateWindowTitle();

// Creates the main window with its command bar, initialises everything and shows it.
// programPath is the running program's file. 1 on success.
int StartApplication(const std::string& programPath);

// The one-time initialisation, in its order.
void InitMainState();

// Shows or hides the title and task bars and moves the main window (FullScreen).
void ApplyFullScreen();

// Places the colour bar, the tool bar and the current canvas window.
void LayoutBars();

// After a document has been opened: shows it, lays the bars out around its canvas and sets
// up its scroll bars.
void ShowOpenedDocument();

// The main window's handler: paint, commands, size, close and keys.
platform::WindowHandler* MainWindowProcedure();

// Escape on the main window: closes the popups that are open as they were; with none open,
// puts a floating piece down.
void EscapeKey();

// Leaving the program (Exit, the window's close button, the platform's OK): saves the
// settings, which asks about unsaved changes first, and unless the user cancels closes the
// main window. 1 when the program ends.
int ExitProgram();
