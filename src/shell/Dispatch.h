// The main window's handler for command identifiers 100 to 20000: menu items and command
// bar buttons.
#pragma once

#include <string>

void DispatchCommand(int id);

// The text Image Information shows for a file name, an image size and a zoom factor.
std::string ImageInformationText(const std::string& path, int width, int height, float zoom);
