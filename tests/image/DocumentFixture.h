// A fresh document state on the headless window system, with message boxes, file dialogs
// and the settings store replaced by recorders the test can read and steer.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/FileDialog.h"
#include "platform/Headless.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/raster/Draw.h"
#include "shell/MainFrame.h"
#include "shell/PaintSettings.h"
#include "tools/BrushEngine.h"
#include "tools/Canvas.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
};

class RecordingMessages : public platform::MessageBoxService {
public:
    platform::MessageResult Show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons, platform::MessageIcon icon) override {
        shown.push_back({text, caption, buttons, icon});
        if (answers.empty()) return platform::MessageResult::Ok;
        const platform::MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<ShownMessage> shown;
    std::deque<platform::MessageResult> answers;
};

class ScriptedFileDialog : public platform::FileDialogService {
public:
    platform::FileDialogResult Run(const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        if (replies.empty()) return {};
        const platform::FileDialogResult reply = replies.front();
        replies.pop_front();
        return reply;
    }
    std::vector<platform::FileDialogRequest> requests;
    std::deque<platform::FileDialogResult> replies;
};

class DocumentFixture : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetWindowSystem(&windows);
        platform::SetMessageBoxService(&messages);
        platform::SetFileDialogService(&dialogs);
        platform::SetSettingsStore(&settings);
        ResetImageState();
        ResetPaintSettings();
        ResetCanvasState();
        ResetStampMode();
        ResetShellState();
        ZoomFactor = 1.0f;
        AntsPhase = 0;
        UndoKind = 0;
        CurrentPath.clear();
        ImageModified = 0;
        RecentCount = 0;
        for (std::string& entry : RecentFiles) entry.clear();
        RecentMenu = nullptr;
    }

    void TearDown() override {
        for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) FreeImageBox(slot);
        ResetImageState();
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
        SetupScrollBars(CurrentImage, 0.0f, 0.0f);
        return box;
    }

    platform::HeadlessWindow& CanvasWindow() { return static_cast<platform::HeadlessWindow&>(*CurrentBox().window); }

    static raster::Colour WorkPixel(int x, int y) { return raster::GetPixel(*CurrentBox().workDc, x, y); }
    static raster::Colour UndoPixel(int x, int y) { return raster::GetPixel(*CurrentBox().undoDc, x, y); }
    static void SetWorkPixel(int x, int y, raster::Colour c) { raster::SetPixel(*CurrentBox().workDc, x, y, c); }
    static raster::Colour SurfacePixel(platform::Window& window, int x, int y) {
        return raster::GetPixel(window.GetDC(), x, y);
    }

    platform::HeadlessWindowSystem windows;
    RecordingMessages messages;
    ScriptedFileDialog dialogs;
    platform::MemorySettingsStore settings;
};
