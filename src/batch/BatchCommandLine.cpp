#include "batch/BatchCommandLine.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/BatchOperations.h"
#include "batch/BatchScript.h"
#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "files/WebpWriter.h"
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

// The writer's ending: the last four characters of the name, or five for ".webp", whatever
// their case; empty when no writer takes it.
std::string WriterEnding(const std::string& path) {
    std::string ending = path.substr(path.size() - std::min<std::size_t>(path.size(), 5));
    for (char& c : ending) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (ending == ".webp") return ending;
    ending.erase(0, ending.size() > 4 ? 1 : 0);
    return ending == ".bmp" || ending == ".jpg" || ending == ".png" ? ending : std::string();
}

// Writes with the ending's writer, with what the input carried (BMP keeps none).
int WriteOutput(const PixelBuffer* picture, const std::string& path, bool lossless, CarriedMetadata carried) {
    const std::string ending = WriterEnding(path);
    if (ending == ".bmp") return WriteBmp(picture, path);
    if (ending == ".jpg") return WriteJpeg(picture, path, carried);
    if (ending == ".png") return WritePng(picture, path, carried);
    return WriteWebp(picture, path, lossless, carried);
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
    // --strict refuses an input whose transparency the output would lose.
    // --lossless writes a WebP output without loss.
    bool timed = false;
    bool acceptDamaged = false;
    bool strict = false;
    bool lossless = false;
    const std::pair<const char*, bool*> flags[] = {
        {"--time", &timed}, {"--accept-damaged", &acceptDamaged}, {"--strict", &strict}, {"--lossless", &lossless}};
    for (bool found = true; found && !args.empty();) {
        found = false;
        for (const auto& [flag, value] : flags) {
            if (args[0] != flag) continue;
            *value = found = true;
            args.erase(args.begin());
            break;
        }
    }
    if (args.size() < 2) {
        Complain("usage: pixelwright-batch [--time] [--accept-damaged] [--strict] [--lossless] INPUT OUTPUT "
                 "[OPERATION ...], or --list for the operations");
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
    if (WriterEnding(output).empty()) {
        Complain("cannot write \"" + output + "\": the name must end in .bmp, .jpg, .png or .webp");
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
    const std::string transparent = "\"" + input + "\" has transparent parts";
    if (decoded.transparent && strict) {
        Complain(transparent + ", which the output cannot keep. Nothing was written (--strict).");
        return kExitFailed;
    }
    if (!StartScriptDocument(*decoded.image)) return kExitFailed;
    decoded.image.reset();
    const platform::PictureMetadata carried = std::move(decoded.metadata);

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
    const int written = WithPictureAsShown(
        [&](const PixelBuffer& picture) { return WriteOutput(&picture, output, lossless, &carried); });
    if (written != 1) return kExitFailed;
    if (decoded.transparent) Complain(transparent + ": they were saved filled with the background colour.");
    return 0;
}

}  // namespace

int RunBatchCommandLine(std::vector<std::string> args, std::FILE* complaints) {
    g_complaints = complaints;
    const int result = Run(std::move(args));
    // The program's messages went to the run's own service, which is gone now.
    platform::SetMessageBoxService(nullptr);
    return result;
}
