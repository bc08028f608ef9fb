// Where the texture images live and which ones there are.
#pragma once

#include <string>
#include <vector>

// The textures folder: "data/textures" beside the program (the build tree's or the
// installation's), else the build tree's data folder. Set by SetTextureFolder when not empty.
std::string TextureFolder();
// The textures folder of a program in programDirectory: its "data/textures", the build tree's
// "../data/textures" or the installation's "../share/pixelwright/data/textures", the first
// that exists; else the build tree's data folder.
std::string FindTextureFolder(const std::string& programDirectory);
// Makes the lookup use folder (tests, or a program started from elsewhere); empty restores the search.
void SetTextureFolder(const std::string& folder);

// The names (without folder) of the files in the textures folder, sorted; empty when the
// folder is missing or holds no files.
std::vector<std::string> TextureNames();

// The names joined by "|", as the texture dialog's list takes them.
std::string TextureListText();
