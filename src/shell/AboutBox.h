// The About box: the program's name and version, where it comes from, the
// acknowledgements, and a build number made from the moment the program was built.
#pragma once

#include <cstdint>
#include <string>

inline constexpr const char* kVersionText = "1.0";

// From a date text "Nov  2 2005": (year - 2000) x 10000 + month x 100 + day; a month name
// that is none of Jan ... Dec counts as month 0.
std::uint32_t BuildDateNumber(const char* dateText);
// From a time text "02:58:06": hour x 100 + minute.
std::uint32_t BuildTimeNumber(const char* timeText);
// ".0%d.%04d" of the two numbers: ".051102.0258".
std::string BuildText(const char* dateText, const char* timeText);
// The build text of this build.
std::string ThisBuildText();

// The text of the box's scrolling field.
std::string AboutInformationText();

// Opens the box modally; returns when it is closed.
void ShowAboutBox();
