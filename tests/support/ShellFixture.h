// A fresh program state on the headless window system, with a message recorder that
// answers questions as told.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "platform/Settings.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/Messages.h"
#include "tools/Canvas.h"

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        platform::SetWindowSystem(&system);
        platform::SetMessageBoxService(&messages);
        platform::SetSettingsStore(&settings);
    }
    void TearDown() override {
        ResetProgramState();
        platform::SetSettingsStore(nullptr);
        platform::SetMessageBoxService(nullptr);
        platform::SetWindowSystem(nullptr);
    }
    // Starts the program on a screen of the given size.
    void Start(int width = 240, int height = 320) {
        system.screenWidth = width;
        system.screenHeight = height;
        ASSERT_EQ(StartApplication("/opt/pixelwright/bin/pixelwright"), 1);
    }
    platform::HeadlessWindow* Canvas() { return static_cast<platform::HeadlessWindow*>(CurrentBox().window); }
    platform::CommandBarModel* Bar() { return static_cast<platform::CommandBarModel*>(system.GetCommandBar()); }

    platform::HeadlessWindowSystem system;
    MessageRecorder messages;
    platform::MemorySettingsStore settings;
};
