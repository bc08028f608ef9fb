// The command identifiers: what every menu item and command bar button sends to the main
// window. The command dispatch, the menus and the table of image operations share them.
#pragma once

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
// The history of states beside the one-level Undo.
constexpr int CMD_STEP_BACKWARD = 2008;
constexpr int CMD_STEP_FORWARD = 2009;
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
// What a desktop adds: the status bar and cropping have menu items, the others only keys.
constexpr int CMD_PASTE_AT_POINTER = 2102;  // Paste from the keyboard with the pointer on the canvas
constexpr int CMD_DESELECT = 2103;          // puts a floating piece down
constexpr int CMD_DELETE_SELECTION = 2104;  // the piece's place keeps the background colour
constexpr int CMD_STATUS_BAR = 3011;
constexpr int CMD_CROP_TO_SELECTION = 4011;
constexpr int CMD_BRUSH_SMALLER = 9101;
constexpr int CMD_BRUSH_LARGER = 9102;
// Reaching the main window without a menu item.
constexpr int CMD_PLATFORM_OK = 1;
constexpr int CMD_FRAME_FLAG = 32768;

// The range of identifiers the command dispatch and the update rules receive.
constexpr int kFirstCommand = 100;
constexpr int kLastCommand = 20000;
