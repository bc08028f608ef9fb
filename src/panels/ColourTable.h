// The colour table dialog: the foreground or background colour (PickTarget) edited
// precisely, picked from the current palette or typed as red, green and blue.
#pragma once

#include "platform/Window.h"

constexpr int kTableRedField = 2001;
constexpr int kTableRedArrows = 2002;
constexpr int kTableGreenField = 2004;
constexpr int kTableGreenArrows = 2005;
constexpr int kTableBlueField = 2007;
constexpr int kTableBlueArrows = 2008;
constexpr int kTableOkButton = 2009;
constexpr int kTableCancelButton = 2010;
constexpr int kTableListLabel = 1996;
constexpr int kTablePaletteList = 1997;
constexpr int kColourTableWidth = 236;
constexpr int kColourTableHeight = 178;

// Writes the working colour into the three fields.
void ShowColourFields(platform::Window& dialog);
// Reads the fields back into the working colour, unless the red field is empty.
void ReadColourFields(platform::Window& dialog);

// Runs the dialog ("Foreground Color" or "Background Color" by PickTarget).
void RunColourTableDialog();

platform::WindowHandler* ColourTableProcedure();
