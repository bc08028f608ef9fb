#include "shell/Dispatch.h"

#include <cstdio>
#include <string>
#include <vector>

#include "files/OpenSave.h"
#include "filters/Operations.h"
#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "panels/BrushPicker.h"
#include "panels/ColourBar.h"
#include "panels/DialogBuilder.h"
#include "panels/ImageSizeDialog.h"
#include "panels/ToolBar.h"
#include "panels/ValueDialog.h"
#include "platform/Chrome.h"
#include "platform/CommandBar.h"
#include "platform/MessageBox.h"
#include "platform/Window.h"
#include "shell/AboutBox.h"
#include "shell/MainFrame.h"
#include "shell/Menus.h"
#include "tools/Canvas.h"
#include "tools/DesktopClipboard.h"
#include "tools/SelectionCommands.h"
#include "tools/Shapes.h"

namespace {

void PaintCurrentView() {
    ImageBox& box = CurrentBox();
    if (!box.window || !box.workDc) return;
    PaintView(box.window->GetDC(), box);
    box.window->Update();
}

void RecentFile(int id) {
    const std::string path = FileState.RecentFiles[id - CMD_RECENT_1];
    if (path.empty()) return;
    // Asking to save changes for a file that then cannot open would ask for nothing.
    if (!RememberedFileReachable(path)) return;
    if (!PromptSaveChanges()) return;
    OpenImageAt(path, ShowOpenedDocument);
}

void Revert() {
    if (ImageState.CurrentPath.empty()) return;
    if (platform::ShowMessageBox("Revert to last saved version?", platform::kCaptionProgram,
                                 platform::MessageButtons::YesNo,
                                 platform::MessageIcon::Question) != platform::MessageResult::Yes) {
        return;
    }
    // The changes count as gone only once the saved version has loaded; a failed load keeps
    // the image and its modified flag, so the save question still protects it.
    const std::uint8_t wasModified = ImageState.ImageModified;
    ImageState.ImageModified = 0;
    if (LoadImageFile(ImageState.CurrentPath) != 1) {
        ImageState.ImageModified = wasModified;
        return;
    }
    PaintCurrentView();
    LayoutBars();
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
}

bool FileCommand(int id) {
    switch (id) {
        case CMD_NEW:
            if (!PromptSaveChanges()) return true;
            if (RunNewImageDialog() == 1) {
                PaintCurrentView();
                LayoutBars();
                SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
            }
            return true;
        case CMD_OPEN:
            if (PromptSaveChanges()) OpenImage(ShowOpenedDocument);
            return true;
        case CMD_SAVE:
            if (!ImageState.CurrentPath.empty() && CurrentBox().workBitmap && ImageState.ImageModified) SaveImage(false);
            return true;
        case CMD_SAVE_AS:
            if (CurrentBox().workBitmap) SaveImage(true);
            return true;
        case CMD_ABOUT: ShowAboutBox(); return true;
        case CMD_REVERT: Revert(); return true;
        default: return false;
    }
}

bool EditCommand(int id) {
    switch (id) {
        case CMD_COPY:
            if (CopyPiece() == 1) PutPieceOnClipboard();
            return true;
        case CMD_PASTE:
            if (PasteFromClipboard() == 1) RepaintToolBar();
            return true;
        case CMD_PASTE_AT_POINTER: {
            raster::Point pointer;
            const bool atPointer = PointerImagePoint(pointer);
            if (PasteFromClipboard(atPointer ? &pointer : nullptr) == 1) RepaintToolBar();
            return true;
        }
        case CMD_DESELECT: DropPieceCommand(); break;
        case CMD_DELETE_SELECTION: DeleteSelection(); break;
        case CMD_CROP_TO_SELECTION: CropToSelection(); break;
        case CMD_CUT:
            if (CutPiece() == 1) PutPieceOnClipboard();
            return true;
        case CMD_INVERSE_SELECTION: InverseSelection(); break;
        case CMD_SELECT_ALL: SelectAll(); break;
        case CMD_SELECT_SIMILAR: SelectSimilar(); break;
        case CMD_GROW_SELECTION: GrowSelection(); break;
        default: return false;
    }
    // A selection made by command switches to the Select group.
    RepaintToolBar();
    return true;
}

void ColourBarPositionCommand(int id) {
    CheckColourBarPosition(false);
    ShellState.ColourBarPosition = static_cast<std::uint32_t>(id - CMD_COLORBAR_TOP);
    if (ShellState.ColourBarWindow) LayoutBars();
    CheckColourBarPosition(true);
}

void ModifierCommand() {
    CanvasState.SelectModifier = static_cast<std::int8_t>((CanvasState.SelectModifier + 1) % 3);
    platform::CommandBar* bar = platform::GetCommandBar();
    if (!bar) return;
    bar->DeleteButton(kModifierButtonIndex);
    bar->AddImageButton(kImageModifierFirst + CanvasState.SelectModifier, CMD_MODIFIER_MODE);
}

// [ and ]: the brush picker's next size, said in the status bar (also when there is none
// further, so that the user sees the end is reached).
void BrushSizeCommand(int id) {
    StepBrushSize(id == CMD_BRUSH_LARGER ? 1 : -1);
    platform::Chrome().ShowStatusNote("Brush size " + std::to_string(PaintSettings.Size));
}

bool IsZoomCommand(int id) {
    return id == CMD_ZOOM_IN || id == CMD_ZOOM_OUT || id == CMD_ACTUAL_PIXELS ||
           (id >= CMD_ZOOM_PRESET_FIRST && id <= CMD_ZOOM_PRESET_LAST);
}

void ShowImageInformation() {
    const ImageBox& box = CurrentBox();
    platform::ShowMessageBox(ImageInformationText(ImageState.CurrentPath, box.width, box.height, ImageState.ZoomFactor),
                             "Image Information", platform::MessageButtons::Ok, platform::MessageIcon::None);
}

void RunImageOperation(int id) {
    if (id == CMD_IMAGE_INFO) {
        ShowImageInformation();
        return;
    }
    const Operation* operation = OperationByCommand(id);
    if (!operation) return;
    switch (operation->dialog) {
        case OperationDialog::None: {
            // A failure has shown its own message; the undo copy holds the image as it was.
            std::string ignored;
            operation->run(FilterArguments{}, ignored);
            break;
        }
        case OperationDialog::ImageSize:
            if (RunImageSizeDialog() == 1) LayoutBars();
            break;
        case OperationDialog::Values: RunOperationDialog(*operation); break;
    }
}

}  // namespace

std::string OperationStepLabel(const Operation& operation) {
    if (operation.title) return operation.title;
    std::string label = operation.menuLabel;
    while (!label.empty() && label.back() == '.') label.pop_back();
    if (operation.command >= CMD_SHARPEN_LOW && operation.command <= CMD_SHARPEN_STRONG) label = "Sharpen " + label;
    return label;
}

namespace {

// The batch words of an operation as it ran: its name and the values the dialog ended with.
std::string OperationStepWords(const Operation& operation) {
    std::string words = operation.batchName;
    std::vector<int> values;
    if (operation.dialog == OperationDialog::Values) {
        for (int k = 0; k < 3; ++k) {
            if (SlotOf(operation, k)) values.push_back(ValueDialogRecord.slot[k].value);
        }
        if (ListOf(operation)) values.push_back(ValueDialogRecord.listIndex);
    } else if (operation.dialog == OperationDialog::ImageSize) {
        const bool piece = PieceOnCanvas();
        values = {piece ? static_cast<int>(FloatingPiece.pieceWidth) : CurrentBox().width,
                  piece ? static_cast<int>(FloatingPiece.pieceHeight) : CurrentBox().height, 0, 1};
    }
    for (std::size_t i = 0; i < values.size(); ++i) words += (i == 0 ? "=" : ",") + std::to_string(values[i]);
    return words;
}

void ImageOperation(int id) {
    // An open polygon's outline is drawn over the picture and wiped by copying the undo copy
    // back, which would wipe the operation's result with it and leave Undo nothing to undo:
    // the polygon is finished first, as when another tool is chosen.
    if (id != CMD_IMAGE_INFO) CloseOpenPolygon();
    if (PieceOnCanvas()) {
        TakePieceUndo();
    } else {
        TakeImageUndo();
        ImageState.UndoKind = kUndoKindFilter;
    }
    RunImageOperation(id);
    RepaintWholeView();
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    if (const Operation* operation = OperationByCommand(id)) {
        RecordHistoryStep(OperationStepLabel(*operation), OperationStepWords(*operation));
    }
}

// An Edit command or Undo as the history names it.
struct CommandStep {
    int command;
    const char* label;
    const char* words;
};

constexpr CommandStep kCommandSteps[] = {
    {CMD_COPY, "Copy", "copy"},
    {CMD_PASTE, "Paste", "paste"},
    {CMD_CUT, "Cut", "cut"},
    {CMD_INVERSE_SELECTION, "Inverse Selection", "select-inverse"},
    {CMD_SELECT_ALL, "Select All", "select-all"},
    {CMD_SELECT_SIMILAR, "Select Similar", "select-similar"},
    {CMD_GROW_SELECTION, "Grow Selection", "select-grow"},
    {CMD_UNDO, "Undo", "undo"},
    {CMD_PASTE_AT_POINTER, "Paste", "paste"},
    {CMD_DESELECT, "Deselect", "deselect"},
    {CMD_DELETE_SELECTION, "Delete", "delete"},
    {CMD_CROP_TO_SELECTION, "Crop to Selection", "crop-to-selection"},
};

void RecordCommandStep(int id) {
    for (const CommandStep& step : kCommandSteps) {
        if (step.command == id) RecordHistoryStep(step.label, step.words);
    }
}

// Step Backward / Forward: a polygon being drawn is given up, as a new document would; the
// tool bar shows the tool the state brought back.
void HistoryCommand(int id) {
    CanvasState.PolygonCount = 0;
    if (id == CMD_STEP_BACKWARD ? StepBackward() : StepForward()) RepaintToolBar();
}

}  // namespace

std::string ImageInformationText(const std::string& path, int width, int height, float zoom) {
    const std::string name = path.empty() ? "untitled" : FileNameOf(path);
    char text[512];
    std::snprintf(text, sizeof text, "Filename: %s\nWidth: %d px\nHeight: %d px\nZoom: %.2f%%", name.c_str(), width,
                  height, static_cast<double>(zoom * 100.0f));
    return text;
}

void OpenDroppedFile(const std::string& path) {
    if (path.empty() || !PromptSaveChanges()) return;
    OpenImageAt(path, ShowOpenedDocument);
}

void DispatchCommand(int id) {
    if (id >= CMD_RECENT_1 && id <= CMD_RECENT_4) {
        RecentFile(id);
        return;
    }
    if (FileCommand(id)) return;
    if (id == CMD_TITLEBAR) {
        ShellState.FullScreen = ShellState.FullScreen ? 0 : 1;
        ApplyFullScreen();
        LayoutBars();
        return;
    }
    if (EditCommand(id)) {
        RecordCommandStep(id);
        return;
    }
    if (id == CMD_STEP_BACKWARD || id == CMD_STEP_FORWARD) {
        HistoryCommand(id);
        return;
    }
    if (id >= CMD_COLORBAR_TOP && id <= CMD_COLORBAR_BOTTOM) {
        ColourBarPositionCommand(id);
        return;
    }
    if (id == CMD_TOOLBAR) {
        ToggleToolBar();
        return;
    }
    if (id == CMD_STATUS_BAR) {
        platform::Chrome().ShowStatusBar(!platform::Chrome().StatusBarShown());
        return;
    }
    if (id == CMD_BRUSH_SMALLER || id == CMD_BRUSH_LARGER) {
        BrushSizeCommand(id);
        return;
    }
    if (id == CMD_SPECTRUM_COLORBAR || id == CMD_STANDARD_COLORS) {
        ColourBarKindCommand(id);
        return;
    }
    if (IsZoomCommand(id)) {
        ZoomCommand(id);
        return;
    }
    if (id == CMD_UNDO) {
        Undo();
        RepaintToolBar();  // an Undo that floats a put-down piece again shows the Select group
        RecordCommandStep(id);
        return;
    }
    if (id == CMD_MODIFIER_MODE) {
        ModifierCommand();
        return;
    }
    if (id == CMD_EXIT) {
        ExitProgram();
        return;
    }
    ImageOperation(id);
}
