#include "filters/TextureList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

std::string g_folderOverride;

std::string ProgramDirectory() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : program.parent_path().string();
}

}  // namespace

std::string FindTextureFolder(const std::string& programDirectory) {
    if (!programDirectory.empty()) {
        for (const char* relative : {"/data/textures", "/../data/textures", "/../share/pixelwright/data/textures"}) {
            std::error_code error;
            const std::filesystem::path folder = programDirectory + relative;
            if (std::filesystem::is_directory(folder, error)) {
                return std::filesystem::weakly_canonical(folder, error).string();
            }
        }
    }
    return std::string(PW_DATA_DIR) + "/textures";
}

std::string TextureFolder() {
    if (!g_folderOverride.empty()) return g_folderOverride;
    return FindTextureFolder(ProgramDirectory());
}

void SetTextureFolder(const std::string& folder) { g_folderOverride = folder; }

std::vector<std::string> TextureNames() {
    std::vector<std::string> names;
    std::error_code error;
    std::filesystem::directory_iterator entries(TextureFolder(), error);
    if (error) return names;
    for (const std::filesystem::directory_entry& entry : entries) {
        // Folders cannot be textures; anything else is offered and the decoder judges it.
        if (entry.is_directory(error)) continue;
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string TextureListText() {
    std::string text;
    for (const std::string& name : TextureNames()) {
        if (!text.empty()) text += '|';
        text += name;
    }
    return text;
}
