// The "Text Tool" dialog: the text, a font family from those installed, a size, the style
// switches and a live preview. Its choices stay in TextToolSettings for the next opening and
// for the canvas, which floats the rendered text on OK.
#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"
#include "platform/raster/Bitmap.h"

constexpr int kTextField = 2001;
constexpr int kTextFontList = 2004;
constexpr int kTextSizeField = 2006;
constexpr int kTextSizeArrows = 2007;
constexpr int kTextAntiAliasedBox = 2008;
constexpr int kTextBoldBox = 2010;
constexpr int kTextItalicBox = 2011;
constexpr int kTextUnderlineBox = 2012;
constexpr int kTextOkButton = 2014;
constexpr int kTextCancelButton = 2015;

constexpr int kTextDialogWidth = 230;
constexpr int kTextDialogHeight = 178;

// The preview's frame in the dialog's client area, and where its text goes.
constexpr raster::Rect kTextPreviewFrame{4, 99, 170, 146};
constexpr raster::Rect kTextPreviewText{5, 101, 169, 145};

// Reads the settings back from the dialog's controls (unless it is filling them), makes the
// font from them and draws the preview into dc.
void PaintTextPreview(platform::Window& dialog, raster::DrawingContext& dc);

// Runs the dialog; 1 for OK, 2 for Cancel.
int RunTextToolDialog();

// The index of the list entry that stands for family: the entry of that very name (letter
// case aside), else the first entry after entry 0 that starts with it, wrapping to entry 0;
// -1 when none does.
int FindFontEntry(const std::vector<std::string>& entries, const std::string& family);
