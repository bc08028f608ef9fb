// The file-dialog double: records every request and answers with the next scripted reply,
// then with `fallback` (a cancelled dialog unless set).
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/FileDialog.h"

class ScriptedFileDialog : public platform::FileDialogService {
public:
    platform::FileDialogResult Run(const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        if (replies.empty()) return fallback.value_or(platform::FileDialogResult{});
        const platform::FileDialogResult reply = replies.front();
        replies.pop_front();
        return reply;
    }
    std::vector<platform::FileDialogRequest> requests;
    std::deque<platform::FileDialogResult> replies;
    std::optional<platform::FileDialogResult> fallback;
};
