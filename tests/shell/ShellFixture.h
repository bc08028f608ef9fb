// A fresh program state on the headless window system, with a message recorder that
// answers questions as told.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "shell/MainFrame.h"
#include "shell/PaintSettings.h"
#include "tools/Canvas.h"

struct RecordedMessage {
    std::string text;
    std::string caption;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
};

class MessageRecorder : public platform::MessageBoxService {
public:
    platform::MessageResult Show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons, platform::MessageIcon icon) override {
        shown.push_back({text, caption, buttons, icon});
        if (answers.empty()) return platform::MessageResult::Cancel;
        platform::MessageResult answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::vector<RecordedMessage> shown;
    std::deque<platform::MessageResult> answers;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAll();
        platform::SetWindowSystem(&system);
        platform::SetMessageBoxService(&messages);
        platform::SetSettingsStore(&settings);
    }
    void TearDown() override {
        ResetAll();
        platform::SetSettingsStore(nullptr);
        platform::SetMessageBoxService(nullptr);
        platform::SetWindowSystem(nullptr);
    }
    static void ResetAll() {
        for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) ImageBoxTable[slot].window = nullptr;
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
