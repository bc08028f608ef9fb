// The real Qt widgets on the offscreen platform: one application for the test program,
// the platform installed fresh for every test with settings in memory.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/View.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"
#include "shell/MainFrame.h"
#include "shell/PaintSettings.h"
#include "tools/Canvas.h"

inline QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Answers every message box with its safe button, and remembers the texts.
class QuietMessages : public platform::MessageBoxService {
public:
    platform::MessageResult Show(const std::string& text, const std::string&, platform::MessageButtons buttons,
                                 platform::MessageIcon) override {
        texts.push_back(text);
        return buttons == platform::MessageButtons::Ok ? platform::MessageResult::Ok
               : buttons == platform::MessageButtons::YesNo ? platform::MessageResult::No
                                                            : platform::MessageResult::Cancel;
    }
    std::vector<std::string> texts;
};

class QtTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        // Every test starts with nothing on the desktop clipboard: Paste must not find an
        // image an earlier test left there.
        QGuiApplication::clipboard()->clear();
        ResetState();
        platform::qt::InstallQtPlatform(&settings, 480, 640);
        platform::SetMessageBoxService(&messages);
    }
    void TearDown() override {
        platform::qt::UninstallQtPlatform();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetState();
    }
    static void ResetState() {
        for (std::uint32_t slot = 0; slot < kImageSlots; ++slot) ImageBoxTable[slot].window = nullptr;
        ResetImageState();
        ResetShellState();
        ResetPaintSettings();
        ResetCanvasState();
        CurrentPath.clear();
        ImageModified = 0;
        ZoomFactor = 1.0f;
        for (auto& file : RecentFiles) file.clear();
        RecentCount = 0;
        RecentMenu = nullptr;
    }
    void Start() {
        ASSERT_EQ(StartApplication("/opt/pixelwright/bin/pixelwright"), 1);
        QCoreApplication::processEvents();
    }
    platform::qt::QtWindowSystem& System() { return *platform::qt::InstalledSystem(); }
    platform::qt::QtWindow* Canvas() { return static_cast<platform::qt::QtWindow*>(CurrentBox().window); }

    platform::MemorySettingsStore settings;
    QuietMessages messages;
};
