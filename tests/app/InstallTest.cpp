// Installing this build as a desktop application: "cmake --install" puts the programs, their
// data, a desktop entry that names every picture type the program opens, and the icon at the
// usual sizes in place; the uninstall script takes exactly that away again.
#include <gtest/gtest.h>

#include <QMimeDatabase>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unistd.h>

#include "files/OpenSave.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int Shell(const std::string& command) { return std::system((command + " > /dev/null 2>&1").c_str()); }

// The keys of the desktop entry's main group.
std::map<std::string, std::string> DesktopEntry(const fs::path& path) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(Slurp(path));
    std::string line;
    bool inMain = false;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inMain = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (inMain && eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

std::set<std::string> Split(const std::string& list, char separator) {
    std::set<std::string> items;
    std::istringstream in(list);
    std::string item;
    while (std::getline(in, item, separator)) {
        if (!item.empty()) items.insert(item);
    }
    return items;
}

// Every ending the Open dialog lists, in lower case.
std::set<std::string> OpenEndings() {
    std::set<std::string> endings;
    for (const std::string& part : Split(kOpenTypeList, '|')) {
        for (const std::string& pattern : Split(part, ';')) {
            if (pattern.rfind("*.", 0) != 0) continue;
            std::string ending = pattern.substr(2);
            for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            endings.insert(ending);
        }
    }
    return endings;
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        prefix = fs::temp_directory_path() / ("pw-install-" + std::to_string(::getpid()));
        fs::remove_all(prefix);
        // The build's manifest belongs to whatever the user installed from it: kept aside.
        manifest = fs::path(PW_BUILD_DIR) / "install_manifest.txt";
        hadManifest = fs::exists(manifest);
        if (hadManifest) savedManifest = Slurp(manifest);
    }
    void TearDown() override {
        if (hadManifest) {
            std::ofstream(manifest, std::ios::binary) << savedManifest;
        } else {
            fs::remove(manifest);
        }
        fs::remove_all(prefix);
    }
    fs::path prefix;
    fs::path manifest;
    bool hadManifest = false;
    std::string savedManifest;
};

}  // namespace

TEST_F(InstallTest, InstallsADesktopEntryAndTheIconAndUninstallsThemAgain) {
    ASSERT_EQ(Shell("cmake --install \"" PW_BUILD_DIR "\" --prefix \"" + prefix.string() + "\""), 0);
    EXPECT_TRUE(fs::exists(prefix / "bin/pixelwright"));
    EXPECT_TRUE(fs::exists(prefix / "bin/pixelwright-batch"));
    EXPECT_TRUE(fs::exists(prefix / "share/pixelwright/data/resources/130.png"));

    const fs::path entryFile = prefix / "share/applications/pixelwright.desktop";
    ASSERT_TRUE(fs::exists(entryFile));
    std::map<std::string, std::string> entry = DesktopEntry(entryFile);
    EXPECT_EQ(entry["Type"], "Application");
    EXPECT_EQ(entry["Name"], "Pixelwright");
    EXPECT_EQ(entry["Exec"], "pixelwright %f");  // one picture at a time
    EXPECT_EQ(entry["Icon"], "pixelwright");
    EXPECT_EQ(entry["Terminal"], "false");
    EXPECT_NE(entry["Categories"].find("Graphics;"), std::string::npos);
    // Every picture type the Open dialog lists is one a file manager offers the program for.
    const std::set<std::string> types = Split(entry["MimeType"], ';');
    const QMimeDatabase mimes;
    for (const std::string& ending : OpenEndings()) {
        if (ending == "2bp") continue;  // the handheld's own format has no type on a desktop
        const QString type = mimes.mimeTypeForFile("picture." + QString::fromStdString(ending),
                                                   QMimeDatabase::MatchExtension).name();
        EXPECT_TRUE(types.count(type.toStdString())) << ending << " is " << type.toStdString();
    }
    for (const std::string& type : types) EXPECT_EQ(type.rfind("image/", 0), 0u) << type;

    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size) + "x" + std::to_string(size);
        const fs::path icon = prefix / "share/icons/hicolor" / side / "apps/pixelwright.png";
        ASSERT_TRUE(fs::exists(icon)) << side;
        EXPECT_EQ(Slurp(icon), Slurp(fs::path(PW_SOURCE_DIR) / "data/icons/hicolor" / side / "apps/pixelwright.png"));
    }
    // Nothing meant for the desktop lands in the program's own data folder.
    EXPECT_FALSE(fs::exists(prefix / "share/pixelwright/data/icons"));
    EXPECT_FALSE(fs::exists(prefix / "share/pixelwright/data/pixelwright.desktop"));

    // Uninstalling removes what was installed and leaves the shared folders.
    ASSERT_EQ(Shell("cmake -DMANIFEST=\"" + manifest.string() + "\" -P \"" PW_SOURCE_DIR "/scripts/uninstall.cmake\""), 0);
    EXPECT_FALSE(fs::exists(prefix / "bin/pixelwright"));
    EXPECT_FALSE(fs::exists(entryFile));
    EXPECT_FALSE(fs::exists(prefix / "share/icons/hicolor/48x48/apps/pixelwright.png"));
    EXPECT_FALSE(fs::exists(prefix / "share/pixelwright"));
    EXPECT_TRUE(fs::exists(prefix / "share/applications"));
}
