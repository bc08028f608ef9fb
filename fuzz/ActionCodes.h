// The byte language of the user-action fuzz target, shared with the seed writer. An input is a
// sequence of actions; each starts with one byte (taken modulo kActionCount) and reads the
// bytes it needs after it. Dialogs, message boxes and file dialogs that open on the way read
// their answers from the same stream, in the order they open. Missing bytes read as 0.
#pragma once

#include <cstdint>

namespace fuzzcodes {

enum Action : std::uint8_t {
    kTap,           // window, x, y
    kHold,          // window, x, y: tap-and-hold
    kDrag,          // window, x, y, moves (0-7), x, y per move, x, y of the release
    kDoubleTap,     // window, x, y: press, release, double tap, release
    kDown,          // window, x, y: a press alone
    kMove,          // window, x, y: a move alone
    kUp,            // window, x, y: a release alone
    kMenu,          // item (2 bytes, big end first) among every item of the command bar, chosen when enabled
    kShortcut,      // shortcut index
    kUndo,          // the Undo command
    kToolButton,    // button (0-11), 1 = hold
    kFlyoutRow,     // row of the open flyout
    kTimer,         // which: 0 airbrush tick, 1 border tick, else every armed timer once
    kScroll,        // 1 = vertical, code, position (2 bytes)
    kWheel,         // x, y, turn (signed byte, in eighths of a notch), flags (1 shift, 2 control)
    kForeignImage,  // width, height, colour seed, 1 = with a mask: another program's clipboard image
    kNew,           // width (1-64), height (1-64): "New..." answered with that size
    kRestart,       // setting, value (4 bytes): stores a raw setting, exits and starts again
    kFileDrop,      // file
    kStepBackward,  // Edit > Step Backward
    kStepForward,   // Edit > Step Forward
    kActionCount
};

// Window bytes: these first, then any live window by index.
enum Target : std::uint8_t { kCanvas, kToolBar, kColourBar, kFlyout, kColourPopup, kBrushPicker, kMainWindow, kTargetCount };

// A coordinate byte b is the client point b - 32, except that 255 is 32767 and 254 is -32768.
constexpr std::uint8_t Coordinate(int v) { return static_cast<std::uint8_t>(v + 32); }

// A dialog's answer: a step count (0-7), the steps, then how it ends.
enum DialogStep : std::uint8_t {
    kControl,  // control index, then what the control needs (a text, a toggle, an entry, a position)
    kTicks,    // every armed timer of the dialog once; pumped events during the run (0-3)
    kArrow,    // control index, delta (signed byte)
    kDialogTap,  // x, y in the dialog
    kDialogStepCount
};
enum DialogEnd : std::uint8_t { kEndOk, kEndButton, kEndClosed, kEndCount };

// Texts typed into fields: a code below kTextNumber picks one of the odd texts; kTextNumber is
// followed by a signed byte and a scale (0-3: x1, x2, x8, x100).
enum TextCode : std::uint8_t { kTextEmpty, kTextMinus, kTextWord, kTextTrailing, kTextHuge, kTextNegativeHuge,
                               kTextOverflow, kTextPlus, kTextSpace, kTextNumber, kTextCount };

}  // namespace fuzzcodes
