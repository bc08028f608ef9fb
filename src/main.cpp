// pixelwright [FILE]: starts the program, opening FILE when one is named.
// pixelwright --screenshot OUT.png [FILE]: renders the main window offscreen into OUT.png and exits.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "files/OpenSave.h"
#include "files/RecoveryCopies.h"
#include "panels/Artwork.h"
#include "platform/Busy.h"
#include "platform/Memory.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/qt/QtPlatform.h"
#include "shell/MainFrame.h"
#include "shell/Recovery.h"

namespace {

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: pixelwright [FILE]\n"
                 "       pixelwright --screenshot OUT.png [FILE]\n");
}

struct Arguments {
    std::string file;
    std::string screenshot;
    bool ok = true;
    bool help = false;
};

Arguments ParseArguments(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            args.help = true;
        } else if (std::strcmp(arg, "--screenshot") == 0) {
            if (i + 1 >= argc) {
                args.ok = false;
                break;
            }
            args.screenshot = argv[++i];
        } else if (arg[0] == '-' && arg[1] != '\0') {
            args.ok = false;
        } else if (args.file.empty()) {
            args.file = arg;
        } else {
            args.ok = false;
        }
    }
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    platform::KeepLargeBuffersForReuse();
    const Arguments args = ParseArguments(argc, argv);
    if (args.help) {
        PrintUsage();
        return 0;
    }
    if (!args.ok) {
        PrintUsage();
        return 2;
    }
    const bool screenshot = !args.screenshot.empty();
    if (screenshot && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Tessmark");
    QApplication::setApplicationName("Pixelwright");

    // A screenshot leaves the user's settings alone and answers no question.
    std::unique_ptr<platform::MemorySettingsStore> screenshotSettings;
    if (screenshot) screenshotSettings = std::make_unique<platform::MemorySettingsStore>();
    // A screenshot is always taken at the usual size; a window fits the desktop it opens on.
    if (screenshot) {
        platform::qt::InstallQtPlatform(screenshotSettings.get(), 480, 640);
    } else {
        platform::qt::InstallQtPlatform();
    }
    platform::qt::SetProgramIcon(DrawProgramIcon);
    if (screenshot) platform::SetMessageBoxService(nullptr);

    if (!StartApplication(QCoreApplication::applicationFilePath().toStdString())) {
        std::fprintf(stderr, "pixelwright: the main window could not be created\n");
        return 1;
    }
    // A screenshot neither writes nor offers recovery copies. A recovered picture is what the
    // user chose to go on with, in place of the file named.
    const bool recovered = !screenshot && StartRecoveryCopies(DefaultRecoveryFolder()) == 1;
    if (!args.file.empty() && !recovered) {
        const platform::BusyPointer busy;
        OpenImageAt(args.file, ShowOpenedDocument);
    }

    if (screenshot) {
        const bool saved = platform::qt::SaveScreenshot(QString::fromStdString(args.screenshot));
        if (!saved) std::fprintf(stderr, "pixelwright: cannot write %s\n", args.screenshot.c_str());
        platform::qt::UninstallQtPlatform();
        return saved ? 0 : 1;
    }
    const int result = QApplication::exec();
    platform::qt::UninstallQtPlatform();
    return result;
}
