// Message boxes: the one way the program tells the user about a failure or asks a question.
// The Qt layer installs a real implementation; without one, messages go to standard error
// (the batch command line), and tests install a recorder.
#pragma once

#include <string>

namespace platform {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question, Warning, Stop };
enum class MessageResult { Ok, Cancel, Yes, No };

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Shows the box (owned by the main window when there is one) and returns the button pressed.
    virtual MessageResult Show(const std::string& text, const std::string& caption, MessageButtons buttons,
                               MessageIcon icon) = 0;
};

// Installs the service used from now on; null restores the standard-error fallback.
void SetMessageBoxService(MessageBoxService* service);

MessageResult ShowMessageBox(const std::string& text, const std::string& caption,
                             MessageButtons buttons = MessageButtons::Ok, MessageIcon icon = MessageIcon::Stop);

// Captions used throughout the program.
inline constexpr const char* kCaptionError = "Error";
inline constexpr const char* kCaptionOutOfMemory = "Out Of Memory Error";
inline constexpr const char* kCaptionProgram = "Pixelwright";

}  // namespace platform
