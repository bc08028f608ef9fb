#include "platform/qt/QtPlatform.h"

#include <QApplication>
#include <QPixmap>
#include <QStyleFactory>
#include <memory>

#include "platform/Busy.h"
#include "platform/Clipboard.h"
#include "platform/FilterPump.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/Chrome.h"
#include "platform/qt/QtBusy.h"
#include "platform/qt/QtChrome.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtImage.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtWindowSystem.h"

namespace platform::qt {

namespace {

struct Installed {
    std::unique_ptr<QtWindowSystem> system;
    QtMessageBoxService messages;
    QtFileDialogService files;
    QtFontService fonts;
    QtClipboardService clipboard;
    std::unique_ptr<QtBusyService> busy;
    std::unique_ptr<QtSettingsStore> settings;
    std::unique_ptr<QtChrome> chrome;
};

std::unique_ptr<Installed> g_installed;

}  // namespace

void InstallQtPlatform(SettingsStore* settings, int screenWidth, int screenHeight) {
    UninstallQtPlatform();
    if (QStyle* style = QStyleFactory::create("Fusion")) QApplication::setStyle(style);
    g_installed = std::make_unique<Installed>();
    g_installed->system = std::make_unique<QtWindowSystem>();
    SetWindowSystem(g_installed->system.get());
    g_installed->chrome = std::make_unique<QtChrome>(*g_installed->system);
    SetWindowChrome(g_installed->chrome.get());
    SetMessageBoxService(&g_installed->messages);
    SetFileDialogService(&g_installed->files);
    SetFontService(&g_installed->fonts);
    SetClipboardService(&g_installed->clipboard);
    g_installed->busy = std::make_unique<QtBusyService>(g_installed->system->Screen());
    SetBusyService(g_installed->busy.get());
    if (!settings) {
        g_installed->settings = std::make_unique<QtSettingsStore>();
        settings = g_installed->settings.get();
    }
    SetSettingsStore(settings);
    SetFilterMessagePump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    if (screenWidth > 0 && screenHeight > 0) {
        // The size asked for is the screen area's; the status bar comes below it.
        g_installed->system->Screen()->resize(screenWidth, screenHeight + g_installed->system->StatusHeight());
    } else {
        g_installed->system->PlaceFirstWindow();
    }
    if (g_installed->settings && g_installed->settings->IsBroken()) {
        ShowMessageBox("The settings file\n" + g_installed->settings->FileName().toStdString() +
                           "\ncannot be read. Pixelwright starts with its initial settings and leaves the file as it is.",
                       kCaptionError, MessageButtons::Ok, MessageIcon::Stop);
    }
}

void SetProgramIcon(std::vector<std::uint8_t> (*draw)(int size)) {
    // The sizes window managers and task bars pick from (larger ones come from the installed
    // icon theme), each drawn once.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        const std::vector<std::uint8_t> rgba = draw(size);
        if (rgba.size() != static_cast<std::size_t>(size) * size * 4) continue;
        icon.addPixmap(QPixmap::fromImage(QImage(rgba.data(), size, size, size * 4, QImage::Format_RGBA8888).copy()));
    }
    QApplication::setWindowIcon(icon);
}

void UninstallQtPlatform() {
    if (!g_installed) return;
    SetFilterMessagePump({});
    SetSettingsStore(nullptr);
    SetBusyService(nullptr);
    SetWindowChrome(nullptr);
    SetClipboardService(nullptr);
    SetFontService(nullptr);
    SetFileDialogService(nullptr);
    SetMessageBoxService(nullptr);
    SetWindowSystem(nullptr);
    g_installed.reset();
}

QtWindowSystem* InstalledSystem() { return g_installed ? g_installed->system.get() : nullptr; }

QtBusyService* InstalledBusy() { return g_installed ? g_installed->busy.get() : nullptr; }

QImage GrabScreen() {
    QtWindowSystem* system = InstalledSystem();
    if (!system) return QImage();
    QCoreApplication::processEvents();
    return system->Screen()->grab().toImage();
}

bool SaveScreenshot(const QString& path) {
    const QImage image = GrabScreen();
    return !image.isNull() && image.save(path, "PNG");
}

}  // namespace platform::qt
