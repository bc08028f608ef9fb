// The command bar's buttons and menus, every command identifier, and the rules that enable
// and check items before a menu opens.
#pragma once

namespace platform {
class CommandBar;
class CommandItem;
class Menu;
}

// File
constexpr int CMD_NEW = 1001;
constexpr int CMD_OPEN = 1002;
constexpr int CMD_SAVE = 1003;
constexpr int CMD_SAVE_AS = 1004;
constexpr int CMD_ABOUT = 1006;
constexpr int CMD_REVERT = 1007;
constexpr int CMD_RECENT_1 = 1101;
constexpr int CMD_RECENT_4 = 1104;
// Edit
constexpr int CMD_COPY = 2001;
constexpr int CMD_PASTE = 2002;
constexpr int CMD_CUT = 2003;
constexpr int CMD_INVERSE_SELECTION = 2004;
constexpr int CMD_SELECT_ALL = 2005;
constexpr int CMD_SELECT_SIMILAR = 2006;
constexpr int CMD_GROW_SELECTION = 2007;
// View
constexpr int CMD_TITLEBAR = 3001;
constexpr int CMD_TOOLBAR = 3002;
constexpr int CMD_SPECTRUM_COLORBAR = 3003;
constexpr int CMD_STANDARD_COLORS = 3004;
constexpr int CMD_ZOOM_IN = 3006;
constexpr int CMD_ZOOM_OUT = 3007;
constexpr int CMD_ACTUAL_PIXELS = 3008;
constexpr int CMD_COLORBAR_TOP = 3101;
constexpr int CMD_COLORBAR_LEFT = 3102;
constexpr int CMD_COLORBAR_RIGHT = 3103;
constexpr int CMD_COLORBAR_BOTTOM = 3104;
constexpr int CMD_ZOOM_PRESET_FIRST = 3201;  // "12.5 %"
constexpr int CMD_ZOOM_PRESET_LAST = 3210;   // "800 %"
// Image
constexpr int CMD_BRIGHTNESS_CONTRAST = 4001;
constexpr int CMD_HUE_SATURATION = 4002;
constexpr int CMD_GAMMA = 4003;
constexpr int CMD_ADJUST_RGB = 4004;
constexpr int CMD_COLORIZE = 4005;
constexpr int CMD_INVERT = 4006;
constexpr int CMD_GRAYSCALE = 4007;
constexpr int CMD_IMAGE_SIZE = 4008;
constexpr int CMD_IMAGE_INFO = 4009;
constexpr int CMD_ROTATE_180 = 8001;
constexpr int CMD_ROTATE_90_CW = 8002;
constexpr int CMD_ROTATE_90_CCW = 8003;
constexpr int CMD_ROTATE_ARBITRARY = 8004;
constexpr int CMD_FLIP_HORIZONTAL = 8005;
constexpr int CMD_FLIP_VERTICAL = 8006;
// Filter
constexpr int CMD_BLUR_LOW = 6001;
constexpr int CMD_BLUR_MEDIUM = 6002;
constexpr int CMD_BLUR_STRONG = 6003;
constexpr int CMD_AVERAGE = 6004;
constexpr int CMD_SHARPEN_LOW = 7001;
constexpr int CMD_SHARPEN_MEDIUM = 7002;
constexpr int CMD_SHARPEN_STRONG = 7003;
constexpr int CMD_UNSHARP_MASK = 7004;
constexpr int CMD_TEXTURE = 8501;
constexpr int CMD_MOSAIC = 8504;
constexpr int CMD_OILPAINT = 8505;
constexpr int CMD_SEPARATE_CHANNEL = 8601;
constexpr int CMD_SOLARIZE = 8602;
constexpr int CMD_THRESHOLD = 8603;
constexpr int CMD_DESPECKLE = 8701;
constexpr int CMD_ADD_NOISE = 8702;
constexpr int CMD_JITTER = 8703;
constexpr int CMD_OFFSET = 8801;
constexpr int CMD_SPHERE = 8802;
constexpr int CMD_SWIRL = 8803;
constexpr int CMD_WAVES = 8804;
constexpr int CMD_EDGE_DETECT = 8901;
constexpr int CMD_FIND_CONTOURS = 8902;
constexpr int CMD_EMBOSS = 8903;
// Command bar image buttons
constexpr int CMD_UNDO = 9003;
constexpr int CMD_MODIFIER_MODE = 9004;
constexpr int CMD_EXIT = 9999;
// Reaching the main window without a menu item.
constexpr int CMD_PLATFORM_OK = 1;
constexpr int CMD_FRAME_FLAG = 32768;

// The range of identifiers the command dispatch and the update rules receive.
constexpr int kFirstCommand = 100;
constexpr int kLastCommand = 20000;

// The command bar strip's images: 2 + SelectModifier (square, plus, minus) and the undo arrow.
constexpr int kImageModifierFirst = 2;
constexpr int kImageUndo = 5;
constexpr int kButtonImageSize = 16;
// Button 6 of the bar, re-added whenever the modifier changes.
constexpr int kModifierButtonIndex = 6;

// The pop-up menus, kept for check marks and the Recent items; null until BuildMenus.
struct MenuHandlesRecord {
    platform::Menu* File = nullptr;
    platform::Menu* Edit = nullptr;
    platform::Menu* View = nullptr;
    platform::Menu* Image = nullptr;
    platform::Menu* Filter = nullptr;
    platform::Menu* Recent = nullptr;
    platform::Menu* ColorbarPosition = nullptr;
    platform::Menu* Zoom = nullptr;
    platform::Menu* Rotate = nullptr;
    platform::Menu* Blur = nullptr;
    platform::Menu* Sharpen = nullptr;
    platform::Menu* Noise = nullptr;
    platform::Menu* Contour = nullptr;
    platform::Menu* Creative = nullptr;
    platform::Menu* Distort = nullptr;
    platform::Menu* Other = nullptr;
};

extern MenuHandlesRecord MenuHandles;

// The zoom factor of a preset identifier 3201 to 3210; 0 for any other.
float ZoomPresetFactor(int id);

// Appends one button to the bar; a text button (image < 0) gets its drop-down menu, which
// is returned (null for an image button).
platform::Menu* AddCommandBarButton(platform::CommandBar& bar, int image, const char* text, int id);

// Builds the five menu buttons with their menus, then the undo and modifier buttons.
void BuildMenus(platform::CommandBar& bar);

// Applies the update rule of the identifier to the item; other identifiers are left alone.
void UpdateCommandUI(int id, platform::CommandItem& item);

// The check mark of a colour bar position item (3101 + position).
void CheckColourBarPosition(bool checked);
