// The one process-wide record of the user's tool, colour and option choices. Each field's
// stored settings value carries the field's name.
#pragma once

#include <cstdint>

struct PaintSettingsRecord {
    std::int8_t Palette = 2;
    std::uint32_t FColor = 0x000000;
    std::uint32_t BColor = 0xFFFFFF;
    std::uint32_t Brush = 0;
    std::uint32_t Size = 7;
    std::int8_t Fill = 0;
    std::uint32_t Trans = 0;
    std::uint8_t WTolerance = 0;
    std::uint8_t FTolerance = 0;
    std::uint8_t Round = 10;
    std::uint8_t GOpacity = 100;
    std::uint8_t DOpacity = 100;
    std::uint8_t Gradient = 0;
    std::int8_t Tool = 30;
    std::int8_t Group = 1;
    std::int16_t Select = 0;
    std::int16_t Pen = 0;
    std::int16_t Shape = 0;
    std::int16_t Area = 0;
    std::int16_t Filter = 0;
    std::int16_t Text = 0;
};

extern PaintSettingsRecord PaintSettings;

// Back to the initial values (tests, and before stored settings are read).
void ResetPaintSettings();
