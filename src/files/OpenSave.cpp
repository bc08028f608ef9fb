#include "files/OpenSave.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>

#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "files/ReadImage.h"
#include "files/WebpWriter.h"
#include "image/History.h"
#include "files/RecoveryCopies.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "platform/Busy.h"
#include "platform/FileDialog.h"
#include "platform/ImageDecoder.h"
#include "platform/MessageBox.h"

namespace {

std::string LowerEnding(const std::string& name) {
    if (name.size() < 4) return std::string();
    std::string ending = name.substr(name.size() - 4);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ending;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0;
}

constexpr const char* kWebpLosslessType = "WebP Lossless (*.webp)";

// The ending that chooses the writer: the last four characters, or five for ".webp";
// empty when no writer takes the name.
std::string WriterEnding(const std::string& name) {
    const std::string ending = LowerEnding(name);
    if (ending == ".png" || ending == ".bmp" || ending == ".jpg") return ending;
    if (ending == "webp" && name.size() >= 5 && name[name.size() - 5] == '.') return ".webp";
    return std::string();
}

bool HasWriter(const std::string& name) { return !WriterEnding(name).empty(); }

// Field number field of a dialog list ("|"-separated); "" past its end.
std::string TypeListField(const std::string& typeList, int field) {
    if (field < 0) return std::string();
    std::size_t start = 0;
    for (int at = 0; start <= typeList.size(); ++at) {
        const std::size_t bar = typeList.find('|', start);
        if (at == field) return typeList.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return std::string();
}

// The ending ("*.png" -> ".png") of the type pair typeIndex in a dialog list; "" when unknown.
std::string EndingOfType(const std::string& typeList, int typeIndex) {
    if (typeIndex < 0) return std::string();
    const std::string text = TypeListField(typeList, 2 * typeIndex + 1);
    const std::string pattern = text.substr(0, text.find(';'));
    if (pattern.size() < 2 || pattern[0] != '*') return std::string();
    return pattern.substr(1);
}

// A proposal that no writer takes (a ".gif" or ".2bp" document) is offered as PNG.
std::string ProposedSaveName(const std::string& path) {
    if (path.empty()) return "untitled.png";
    if (HasWriter(path)) return path;
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool dotInName = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (dotInName ? path.substr(0, dot) : path) + ".png";
}

int WriteByEnding(const PixelBuffer* image, const std::string& path, bool lossless) {
    const std::string ending = WriterEnding(path);
    if (ending == ".png") return WritePng(image, path, &FileState.Carried);
    if (ending == ".bmp") return WriteBmp(image, path);
    if (ending == ".jpg") return WriteJpeg(image, path, &FileState.Carried);
    if (ending == ".webp") return WriteWebp(image, path, lossless, &FileState.Carried);
    return 0;
}

// 1 when the save may go ahead: the picture opened had no transparency, or the user agrees
// to lose it.
int ConfirmTransparencyLoss() {
    if (FileState.TransparentFrom.empty()) return 1;
    const platform::MessageResult answer =
        platform::ShowMessageBox(TransparencyQuestion(FileState.TransparentFrom), platform::kCaptionProgram,
                                 platform::MessageButtons::YesNo, platform::MessageIcon::Question);
    return answer == platform::MessageResult::Yes ? 1 : 0;
}

}  // namespace

void ForgetCarriedData() {
    FileState.Carried = platform::PictureMetadata{};
    FileState.TransparentFrom.clear();
    FileState.WebpLossless = false;
}

std::string TransparencyQuestion(const std::string& name) {
    return name + " has transparent parts. Pixelwright keeps no transparency, so they will be saved filled with the "
                  "background colour. Save anyway?";
}

// Every list ends with the two ways of writing WebP.
const char* SaveTypeListFor(const std::string& name) {
    const std::string ending = WriterEnding(name);
    if (ending == ".png") {
        return "PNG File (*.png)|*.png|Bitmap File (*.bmp)|*.bmp|JPEG File (*.jpg)|*.jpg|WebP Files (*.webp)|*.webp|"
               "WebP Lossless (*.webp)|*.webp|";
    }
    if (ending == ".bmp") {
        return "Bitmap File (*.bmp)|*.bmp|PNG File (*.png)|*.png|JPEG File (*.jpg)|*.jpg|WebP Files (*.webp)|*.webp|"
               "WebP Lossless (*.webp)|*.webp|";
    }
    if (ending == ".jpg") {
        return "JPEG File (*.jpg)|*.jpg|PNG File (*.png)|*.png|Bitmap File (*.bmp)|*.bmp|WebP Files (*.webp)|*.webp|"
               "WebP Lossless (*.webp)|*.webp|";
    }
    if (ending == ".webp") {
        return "WebP Files (*.webp)|*.webp|WebP Lossless (*.webp)|*.webp|PNG File (*.png)|*.png|JPEG File (*.jpg)|*.jpg|"
               "Bitmap File (*.bmp)|*.bmp|";
    }
    return "";
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int PromptSaveChanges() {
    if (ImageState.ImageModified == 0) return 1;
    std::string name = FileNameOf(ImageState.CurrentPath);
    if (name.empty()) name = "untitled";
    const platform::MessageResult answer =
        platform::ShowMessageBox("Save changes to\n\"" + name + "\" ?", platform::kCaptionProgram,
                                 platform::MessageButtons::YesNoCancel, platform::MessageIcon::Question);
    switch (answer) {
        // Going on after a save that did not happen (dialog cancelled, write failed) would
        // throw the changes away.
        case platform::MessageResult::Yes: return SaveImage(false);
        case platform::MessageResult::No: return 1;
        default: return 0;
    }
}

std::string ShowFileDialog(bool save, const std::string& title, const std::string& initialName,
                           const std::string& typeList, int* chosenType) {
    platform::FileDialogRequest request;
    request.save = save;
    request.title = title;
    request.initialName = initialName;
    request.typeList = typeList;
    const platform::FileDialogResult result = platform::RunFileDialog(request);
    if (chosenType) *chosenType = result.typeIndex;
    return result.path;
}

int SaveImage(bool askForName) {
    const ImageBox& box = CurrentBox();
    if (!box.workBitmap) return 0;
    std::string name = ImageState.CurrentPath;
    bool lossless = FileState.WebpLossless;
    const bool chosenInDialog = askForName || name.empty() || !HasWriter(name);
    if (chosenInDialog) {
        const std::string proposed = ProposedSaveName(name);
        const std::string typeList = SaveTypeListFor(proposed);
        int typeIndex = -1;
        name = ShowFileDialog(true, "Save Image", proposed, typeList, &typeIndex);
        if (name.empty()) return 0;
        // A name typed without an ending gets the one of the type picked in the dialog.
        if (!HasWriter(name)) name += EndingOfType(typeList, typeIndex);
        // Of the two WebP types, the one picked says how; any other keeps the document's way.
        if (EndingOfType(typeList, typeIndex) == ".webp") {
            lossless = TypeListField(typeList, 2 * typeIndex) == kWebpLosslessType;
        }
    }
    // Asked only where no save dialog has asked about overwriting already.
    if (!chosenInDialog && FileState.ConfirmOverwrite && FileExists(name) &&
        platform::ShowMessageBox(OverwriteRecoveredQuestion(name), platform::kCaptionProgram,
                                 platform::MessageButtons::YesNo,
                                 platform::MessageIcon::Question) != platform::MessageResult::Yes) {
        return 0;
    }
    if (!HasWriter(name)) {
        platform::ShowMessageBox("Cannot save \"" + FileNameOf(name) +
                                     "\": the name must end in .png, .bmp, .jpg or .webp.",
                                 platform::kCaptionError, platform::MessageButtons::Ok, platform::MessageIcon::Stop);
        return 0;
    }
    // The file holds the picture as it is seen, a floating piece included. The writers
    // report their own failures; the document keeps its name and its unsaved state until a
    // file has really been written.
    if (ConfirmTransparencyLoss() != 1) return 0;
    {
        // A large picture takes a while to compress: the window shows how far it has come.
        const platform::ProgressIndication progress("Saving " + FileNameOf(name));
        const int written = WithPictureAsShown(
            [&](const PixelBuffer& picture) { return WriteByEnding(&picture, name, lossless); });
        if (written != 1) return 0;
    }
    if (WriterEnding(name) == ".webp") FileState.WebpLossless = lossless;
    ImageState.CurrentPath = name;
    ImageState.ImageModified = 0;
    MarkHistorySaved();
    // The file now holds the picture as it is, flattened: there is nothing more to lose.
    FileState.TransparentFrom.clear();
    FileState.ConfirmOverwrite = false;
    DiscardRecoveryCopy();
    UpdateRecentFiles();
    return 1;
}

int ReplaceDocument(int width, int height) {
    const std::uint32_t previous = ImageState.CurrentImage;
    const float previousZoom = ImageState.ZoomFactor;
    const std::int8_t previousTool = PaintSettings.Tool;
    if (CreateImage(width, height) != 1) {
        ImageState.CurrentImage = previous;
        ImageState.ZoomFactor = previousZoom;
        PaintSettings.Tool = previousTool;
        return 0;
    }
    if (previous != 0 && previous != ImageState.CurrentImage) FreeImageBox(previous);
    FileState.ConfirmOverwrite = false;
    DiscardRecoveryCopy();
    return 1;
}

std::string OverwriteRecoveredQuestion(const std::string& path) {
    return "Overwrite \"" + FileNameOf(path) + "\" with the recovered picture?";
}

int OpenImage(ShowDocumentProcedure showDocument) {
    const std::string path = ShowFileDialog(false, "Load Image", std::string(), kOpenTypeList);
    if (path.empty()) return 0;
    return OpenImageAt(path, showDocument);
}

namespace {

// Tells the user that only part of a damaged file could be read.
void ShowDamagedWarning(const std::string& text) {
    platform::ShowMessageBox(text + "\nWhat could be read is opened as an untitled picture, so that saving it cannot "
                                    "overwrite the damaged file.",
                             platform::kCaptionError, platform::MessageButtons::Ok, platform::MessageIcon::Warning);
}

// Decodes the file into a new current image. 1 on success; *damagedText is the warning
// for a file that could be read only in part, empty otherwise.
int LoadDecodedFile(const std::string& path, std::string* damagedText) {
    platform::DecodedImage decoded = ReadImageFile(path);
    if (!decoded.image) {
        const std::string text = decoded.text.empty() ? kNoMemoryBitmap : decoded.text;
        const std::string caption = decoded.caption.empty() ? platform::kCaptionOutOfMemory : decoded.caption;
        platform::ShowMessageBox(text, caption, platform::MessageButtons::Ok, platform::MessageIcon::Stop);
        return 0;
    }
    if (ReplaceDocument(decoded.image->Width(), decoded.image->Height()) != 1) return 0;
    CopyPixels(CurrentBox().workBitmap, decoded.image.get());
    FileState.Carried = std::move(decoded.metadata);
    FileState.TransparentFrom = decoded.transparent ? FileNameOf(path) : std::string();
    FileState.WebpLossless = decoded.lossless;
    damagedText->clear();
    if (decoded.status == platform::DecodeStatus::Damaged) {
        *damagedText = decoded.text;
        // Untitled, so that no Save can put the partial picture over the file.
        ImageState.CurrentPath.clear();
    }
    return 1;
}

}  // namespace

int OpenImageAt(const std::string& path, ShowDocumentProcedure showDocument) {
    // Only a file that has loaded becomes the document's path: a failed one must not be
    // overwritten by the next Save with the old picture, nor a damaged one by what could
    // be read of it.
    std::string damagedText;
    if (LoadDecodedFile(path, &damagedText) != 1) return 0;
    ImageState.ImageModified = 0;
    if (damagedText.empty()) {
        ImageState.CurrentPath = path;
        UpdateRecentFiles();
    }
    if (showDocument) showDocument();
    // Shown over the picture, so that the user sees what is missing.
    if (!damagedText.empty()) ShowDamagedWarning(damagedText);
    return 1;
}

bool RememberedFileReachable(const std::string& path) {
    const std::string text = platform::CannotOpenText(path);
    if (text.empty()) return true;
    platform::ShowMessageBox(text, platform::kCaptionError, platform::MessageButtons::Ok, platform::MessageIcon::Stop);
    return false;
}

int LoadImageFile(const std::string& path) {
    std::string damagedText;
    if (LoadDecodedFile(path, &damagedText) != 1) return 0;
    if (!damagedText.empty()) ShowDamagedWarning(damagedText);
    return 1;
}
