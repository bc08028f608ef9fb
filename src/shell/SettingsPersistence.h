// The user's tool, colour and bar choices kept in the settings store between runs: read
// once at start-up, written when the program is left.
#pragma once

#include <cstdint>

// Reads every stored value that exists and is valid, in its order, and applies the bars'
// values (shows the tool bar and colour bar unless they were hidden). A value out of its
// field's range leaves the initial value.
void LoadSettings();

// Asks about unsaved changes first; on Cancel writes nothing and returns 0. Otherwise puts
// a one-shot or floating-piece tool back to its group's plain tool and writes every value
// at once. Returns 1.
int SaveSettings();

// The "Colorbar" number for a position, kind and visibility, and back (false for numbers
// no bar was ever stored as).
std::uint32_t PackColourBar(std::uint32_t position, std::uint8_t standard, bool shown);
bool UnpackColourBar(std::uint32_t value, std::uint32_t& position, std::uint8_t& standard, bool& shown);
