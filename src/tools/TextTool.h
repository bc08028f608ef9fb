// The text tool (tool 22): lifting the stylus on the canvas runs the "Text Tool" dialog, and
// on OK the text, rendered in the foreground colour on the background colour, floats as a new
// piece at the tapped point. The dialog belongs to the panels; it reaches the canvas through
// the hooks below and leaves its choices in TextToolSettings.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Fonts.h"
#include "tools/ToolHandler.h"

// Text, font and style, kept from one use to the next until the program ends.
struct TextToolSettingsRecord {
    std::string text;
    std::string faceName;  // filled with the first family the platform lists at the first opening
    std::uint8_t size = 16;  // the character height in pixels; 0 lets the platform choose
    std::uint8_t bold = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t antiAliased = 0;
    std::unique_ptr<raster::Font> font;  // made from these settings by the dialog's last preview
    std::uint8_t updating = 0;           // set while the dialog fills its controls
};

extern TextToolSettingsRecord TextToolSettings;

void ResetTextToolSettings();

// The font the settings describe, made by the platform; null without a font service.
std::unique_ptr<raster::Font> MakeTextToolFont();

// Renders the text of TextToolSettings with its font into a new floating piece exactly as
// large as the measured text (wider by size / 4 in italics), placed at image point (x, y),
// and shows it; the tool becomes the floating piece. 0 when there is nothing to place or the
// piece cannot be made (its message has been shown); the tool then stays.
int PlaceTextPiece(int x, int y);

const ToolHandler& TextTool();
