// The message-box double of every test: records each box shown and answers it as told.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    platform::MessageButtons buttons;
    platform::MessageIcon icon;
};

// Answers from `answers` in order; when they run out, with `fallback` if set, else with the
// box's safe button (Ok for a plain box, No for yes / no, Cancel where there is one).
// Installed by whoever owns it (see InstalledMessages for a self-installing one).
class MessageRecorder : public platform::MessageBoxService {
public:
    platform::MessageResult Show(const std::string& text, const std::string& caption,
                                 platform::MessageButtons buttons, platform::MessageIcon icon) override {
        shown.push_back({text, caption, buttons, icon});
        if (failOnShow) ADD_FAILURE() << "message box: " << text;
        if (!answers.empty()) {
            const platform::MessageResult answer = answers.front();
            answers.pop_front();
            return answer;
        }
        if (fallback) return *fallback;
        switch (buttons) {
            case platform::MessageButtons::Ok: return platform::MessageResult::Ok;
            case platform::MessageButtons::YesNo: return platform::MessageResult::No;
            default: return platform::MessageResult::Cancel;
        }
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ShownMessage& m : shown) texts.push_back(m.text);
        return texts;
    }

    std::vector<ShownMessage> shown;
    std::deque<platform::MessageResult> answers;
    std::optional<platform::MessageResult> fallback;
    bool failOnShow = false;  // a test that must show no box at all
};

// A recorder that is the installed service for as long as it lives.
class InstalledMessages : public MessageRecorder {
public:
    InstalledMessages() { platform::SetMessageBoxService(this); }
    ~InstalledMessages() override { platform::SetMessageBoxService(nullptr); }
    InstalledMessages(const InstalledMessages&) = delete;
    InstalledMessages& operator=(const InstalledMessages&) = delete;
};
