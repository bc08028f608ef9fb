#include "batch/BatchCommandLine.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/BatchOperations.h"
#include "batch/BatchScript.h"
#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "files/ReadImage.h"
#include "image/PixelBuffer.h"
#include "image/View.h"
#include "platform/ImageDecoder.h"
#include "platform/MessageBox.h"

namespace {

constexpr int kExitFailed = 1;  // the work could not be done: input, memory, output
constexpr int kExitUsage = 2;   // the command line asks for something that does not exist

std::FILE* g_complaints = stderr;

// Every complaint is one line.
void Complain(const std::string& text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    std::fprintf(g_complaints, "pixelwright-batch: %s\n", line.c_str());
}

// The messages the program's own code shows (out of memory, write errors) are complaints
// too; questions get the safe answer.
class ComplaintMessages : public platform::MessageBoxService {
public:
    platform::MessageResult Show(const std::string& text, const std::string& caption, platform::MessageButtons buttons,
                                 platform::MessageIcon) override {
        Complain(caption + ": " + text);
        ++shown;
        switch (buttons) {
            case platform::MessageButtons::Ok: return platform::MessageResult::Ok;
            case platform::MessageButtons::OkCancel: return platform::MessageResult::Cancel;
            case platform::MessageButtons::YesNo: return platform::MessageResult::No;
            case platform::MessageButtons::YesNoCancel: return platform::MessageResult::Cancel;
        }
        return platform::MessageResult::Ok;
    }
    int shown = 0;
};

using Writer = int (*)(const PixelBuffer*, const std::string&);

// The writer is chosen by the last four characters of the name, whatever their case.
Writer WriterFor(const std::string& path) {
    if (path.size() < 4) return nullptr;
    std::string ending = path.substr(path.size() - 4);
    for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ending == ".bmp") return WriteBmp;
    if (ending == ".jpg") return WriteJpeg;
    if (ending == ".png") return WritePng;
    return nullptr;
}

bool OutputFolderWritable(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code error;
    return std::filesystem::is_directory(folder, error) && access(folder.c_str(), W_OK) == 0;
}

int Run(std::vector<std::string> args) {
    if (args.size() == 1 && args[0] == "--list") {
        std::fputs((BatchOperationList() + CanvasStepList()).c_str(), stdout);
        return 0;
    }
    // --time prints how long each operation took, without the reading and writing around it.
    // --accept-damaged works on what could be read of a damaged input instead of refusing it.
    bool timed = false;
    bool acceptDamaged = false;
    while (!args.empty() && (args[0] == "--time" || args[0] == "--accept-damaged")) {
        (args[0] == "--time" ? timed : acceptDamaged) = true;
        args.erase(args.begin());
    }
    if (args.size() < 2) {
        Complain("usage: pixelwright-batch [--time] [--accept-damaged] INPUT OUTPUT [OPERATION ...], or --list for "
                 "the operations");
        return kExitUsage;
    }
    const std::string& input = args[0];
    const std::string& output = args[1];

    // Everything that can be checked without the picture is checked before any work.
    std::vector<ScriptStep> steps;
    for (std::size_t i = 2; i < args.size(); ++i) {
        ScriptStep step;
        std::string error;
        if (!ParseScriptStep(args[i], static_cast<int>(i) - 1, step, error)) {
            Complain(error);
            return kExitUsage;
        }
        steps.push_back(step);
    }
    const Writer writer = WriterFor(output);
    if (!writer) {
        Complain("cannot write \"" + output + "\": the name must end in .bmp, .jpg or .png");
        return kExitUsage;
    }
    if (!OutputFolderWritable(output)) {
        Complain("cannot write \"" + output + "\": its folder is missing or not writable");
        return kExitFailed;
    }

    ComplaintMessages messages;
    platform::SetMessageBoxService(&messages);

    platform::DecodedImage decoded = ReadImageFile(input);
    if (!decoded.image) {
        Complain(decoded.text.empty() ? "cannot read \"" + input + "\"" : decoded.text);
        return kExitFailed;
    }
    if (decoded.status == platform::DecodeStatus::Damaged && !acceptDamaged) {
        Complain(decoded.text + " Nothing was written; --accept-damaged works on what could be read.");
        return kExitFailed;
    }
    if (!StartScriptDocument(*decoded.image)) return kExitFailed;
    decoded.image.reset();

    for (std::size_t i = 0; i < steps.size(); ++i) {
        const ScriptStep& step = steps[i];
        std::string error;
        const int shownBefore = messages.shown;
        double took = -1.0;
        const StepResult result = RunScriptStep(step, static_cast<int>(i) + 1, timed ? &took : nullptr, error);
        if (took >= 0.0) std::printf("%s %.1f ms\n", step.Name().c_str(), took);
        if (result == StepResult::BadStep) {
            Complain(error);
            return kExitUsage;
        }
        if (result == StepResult::Failed) {
            if (!error.empty()) {
                Complain(error);
            } else if (messages.shown == shownBefore) {
                Complain(step.Name() + " failed");
            }
            return kExitFailed;
        }
    }
    // The file holds what Save would write: the picture as it is seen.
    std::unique_ptr<PixelBuffer> merged;
    const PixelBuffer* picture = PictureAsShown(merged);
    if (!picture) return kExitFailed;
    return writer(picture, output) == 1 ? 0 : kExitFailed;
}

}  // namespace

int RunBatchCommandLine(std::vector<std::string> args, std::FILE* complaints) {
    g_complaints = complaints;
    const int result = Run(std::move(args));
    // The program's messages went to the run's own service, which is gone now.
    platform::SetMessageBoxService(nullptr);
    return result;
}
