// The real Qt widgets on the offscreen platform: one application for the test program,
// the platform installed fresh for every test with settings in memory.
#pragma once

#include <gtest/gtest.h>

#include <QClipboard>
#include <QTest>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "platform/Settings.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/Messages.h"
#include "support/QtApplication.h"
#include "tools/Canvas.h"

class QtTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        // Every test starts with nothing on the desktop clipboard: Paste must not find an
        // image an earlier test left there.
        QGuiApplication::clipboard()->clear();
        ResetProgramState();
        platform::qt::InstallQtPlatform(&settings, 480, 640);
        platform::SetMessageBoxService(&messages);
    }
    void TearDown() override {
        platform::qt::UninstallQtPlatform();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ResetProgramState();
    }
    void Start() {
        ASSERT_EQ(StartApplication("/opt/pixelwright/bin/pixelwright"), 1);
        QCoreApplication::processEvents();
    }
    platform::qt::QtWindowSystem& System() { return *platform::qt::InstalledSystem(); }
    platform::qt::QtWindow* Canvas() { return static_cast<platform::qt::QtWindow*>(CurrentBox().window); }

    platform::MemorySettingsStore settings;
    MessageRecorder messages;
};
