#include "shell/ProgramState.h"

#include "files/OpenSave.h"
#include "filters/FilterEngine.h"
#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"
#include "panels/DialogBuilder.h"
#include "panels/ImageSizeDialog.h"
#include "tools/ToolGroups.h"
#include "shell/MainFrame.h"
#include "shell/Menus.h"
#include "shell/PaintSettings.h"
#include "tools/BrushEngine.h"
#include "tools/Canvas.h"
#include "tools/Noise.h"

void ResetProgramState() {
    // Subsystem 1: slots, piece, view, undo and the document's file.
    ResetImageState();
    // Subsystem 2: the canvas and the brush engine.
    ResetCanvasState();
    ResetStampMode();
    ResetNoise();
    // Subsystem 3: the filter engine.
    FilterContext = FilterContextRecord{};
    FilterId = FILTER_NONE;
    FilterBusy = kFilterIdle;
    // Subsystem 4: the recent files.
    for (std::string& file : RecentFiles) file.clear();
    RecentCount = 0;
    RecentMenu = nullptr;
    // Subsystem 5: the shell, its menus and the settings record.
    ResetShellState();
    MenuHandles = MenuHandlesRecord{};
    ResetPaintSettings();
    // Subsystem 6: the panels and dialogs.
    DialogBuildState = DialogBuildStateRecord{};
    ValueDialogRecord = ValueDialogRecordType{};
    ResetImageSizeSettings();
    for (ToolGroup& group : ToolGroups) group = ToolGroup{};
}
