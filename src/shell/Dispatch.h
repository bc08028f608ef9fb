// The main window's handler for command identifiers 100 to 20000: menu items and command
// bar buttons.
#pragma once

#include <string>

void DispatchCommand(int id);

// A file dropped on the window: opened as File > Open opens the file chosen in its dialog,
// after the save-changes question.
void OpenDroppedFile(const std::string& path);

// The text Image Information shows for a file name, an image size and a zoom factor.
std::string ImageInformationText(const std::string& path, int width, int height, float zoom);

struct Operation;
// The user's name of an operation's step in the history: the dialog's title, else the menu
// label without its dots; the three sharpenings say what they are.
std::string OperationStepLabel(const Operation& operation);
