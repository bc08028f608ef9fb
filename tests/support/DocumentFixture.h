// A fresh document state on the headless window system, with message boxes, file dialogs
// and the settings store replaced by recorders the test can read and steer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "platform/Settings.h"
#include "platform/raster/Draw.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/FileDialogs.h"
#include "support/Messages.h"
#include "support/Pixels.h"
#include "tools/BrushEngine.h"
#include "tools/Canvas.h"

class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetWindowSystem(&windows);
        platform::SetMessageBoxService(&messages);
        platform::SetFileDialogService(&dialogs);
        platform::SetSettingsStore(&settings);
        ResetProgramState();
    }

    void TearDown() override {
        for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) FreeImageBox(slot);
        ResetProgramState();
        platform::SetSettingsStore(nullptr);
        platform::SetFileDialogService(nullptr);
        platform::SetMessageBoxService(nullptr);
        platform::SetWindowSystem(nullptr);
    }

    // A new current image whose canvas window has the given outer size.
    ImageBox& MakeImage(int width, int height, int windowWidth = 242, int windowHeight = 230) {
        EXPECT_EQ(CreateImage(width, height), 1);
        ImageBox& box = CurrentBox();
        if (box.window) box.window->Move(0, 0, windowWidth, windowHeight, false);
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
        return box;
    }

    platform::HeadlessWindow& CanvasWindow() { return static_cast<platform::HeadlessWindow&>(*CurrentBox().window); }

    static raster::Colour SurfacePixel(platform::Window& window, int x, int y) {
        return raster::GetPixel(window.GetDC(), x, y);
    }

    platform::HeadlessWindowSystem windows;
    MessageRecorder messages;
    ScriptedFileDialog dialogs;
    platform::MemorySettingsStore settings;
};
