// Dialogs built in code: running one from its template, placing it (centred with a caption,
// or docked above the command bar), creating its controls, reading their text, and the
// generic value dialog of up to three sliders and a drop-down list.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Dialog.h"

// The three templates every dialog starts from.
constexpr int kTemplatePlain = 121;    // caption; text, new image, image and brush size dialogs
constexpr int kTemplateAbout = 122;    // caption and the program icon
constexpr int kTemplatePopup = 123;    // border only; value dialogs, colour table, popups

constexpr std::uint32_t kPlacementCentred = 0;
constexpr std::uint32_t kPlacementDocked = 1;

struct DialogBuildStateRecord {
    std::string title;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint32_t focusGiven = 0;
    std::uint32_t placement = kPlacementCentred;
    platform::Window* dialog = nullptr;
};

extern DialogBuildStateRecord DialogBuildState;

// Where the frame is, for placing dialogs: the main window's top edge and the command bar's
// height.
struct FrameMetrics {
    int frameTop = 0;
    int commandBarHeight = 0;
};

// What the dialogs learn from the shell, which measures the frame and makes the fonts at
// start and installs these hooks. Without them the frame is taken to be at 0 and titles
// keep the dialog's font.
struct DialogHooksRecord {
    FrameMetrics (*frameMetrics)() = nullptr;
    const raster::Font* (*titleFont)() = nullptr;  // bold, for the titles of value dialogs
};
extern DialogHooksRecord DialogHooks;

// The template of an id (121, 122 or 123; any other gives a plain bordered one).
platform::DialogTemplate DialogTemplateFor(int templateId);

// Runs the dialog modally, owned by the main window; returns what the procedure passed to
// EndDialog.
int RunBuiltDialog(const std::string& title, int width, int height, int templateId, platform::WindowHandler* procedure);

// First thing a dialog procedure does at InitDialog: records the dialog and places it.
void PlaceBuiltDialog(platform::Window& dialog);

// Where a dialog of width x height goes on a W x H screen: centred, or docked on the command bar.
raster::Rect BuiltDialogRect(std::uint32_t placement, int screenWidth, int screenHeight, int frameTop,
                             int commandBarHeight, int width, int height);

// Creates a control in the dialog being built; coordinates are its client pixels as 16-bit
// values. A push button goes to the top; the first enabled edit field gets the focus.
platform::Control* AddControl(platform::ControlKind kind, int id, int x, int y, int width, int height,
                              std::uint32_t extraStyle, const std::string& text);

std::string GetControlText(const platform::Control* control);

// Decimal reading of a field: optional sign, then digits; text without digits reads 0.
// Values beyond the 32-bit range stop at its ends.
int ParseDecimal(const std::string& text);

struct ValueSlot {
    std::string label;  // empty: the slot is absent
    std::int32_t value = 0;
    std::int32_t page = 0;
    std::int32_t min = 0;
    std::int32_t max = 0;
    platform::Control* edit = nullptr;
    platform::Control* slider = nullptr;
};

struct ValueDialogRecordType {
    ValueSlot slot[3];
    std::string listLabel;  // empty: no list
    std::string listItems;  // entries separated by "|"
    std::int32_t listIndex = 0;
    platform::Control* list = nullptr;
    std::uint32_t updating = 0;  // set while the dialog rewrites its own controls
};

extern ValueDialogRecordType ValueDialogRecord;

// The value dialog's window procedure (ValueDialog.h); tests may put another in its place.
// While none is installed RunValueDialog cannot open a dialog and reports cancelled.
extern platform::WindowHandler* ValueDialogProcedure;

constexpr int kValueDialogWidth = 242;
// 41, plus 20 for each of a second and third slot and for a list.
int ValueDialogHeight(const ValueDialogRecordType& record);

// Fills ValueDialogRecord and runs the docked value dialog; the chosen values are in the
// record afterwards. Returns the dialog's result (1 accepted, 0 cancelled).
int RunValueDialog(const std::string& title, const ValueSlot (&slots)[3], const std::string& listLabel,
                   const std::string& listItems, int listIndex);
