#include "shell/ProgramState.h"

#include "files/OpenSave.h"
#include "filters/FilterEngine.h"
#include "image/Hooks.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/Undo.h"
#include "image/View.h"
#include "panels/DialogBuilder.h"
#include "panels/PanelState.h"
#include "platform/Chrome.h"
#include "shell/MainFrame.h"
#include "shell/Menus.h"
#include "tools/Canvas.h"
#include "tools/RetouchDabs.h"
#include "tools/TextTool.h"
#include "tools/ToolGroups.h"

void InstallLayerHooks() {
    ImageHooks.canvasProcedure = CanvasProcedure();
    ImageHooks.colourBarBesideCanvas = ColourBarBesideCanvas;
    ImageHooks.removePolygonVertex = RemovePolygonVertex;
    ImageHooks.showWholeView = ShowWholeViewOfTool;
    DialogHooks.frameMetrics = [] { return FrameMetrics{ShellState.FrameTop, ShellState.CommandBarHeight}; };
    DialogHooks.titleFont = []() -> const raster::Font* { return ShellState.BoldFont.get(); };
}

void ResetProgramState() {
    // Subsystem 1: slots, piece, view, undo and the document's file.
    ResetImageState();
    // Subsystem 2: the canvas, with its stamp mode, the retouch brushes and the text tool.
    ResetCanvasState();
    ResetRetouchState();
    ResetTextToolSettings();
    // Subsystem 3: the filter engine and the shared random generator.
    ResetFilterState();
    // Subsystem 4: the recent files.
    ResetFileState();
    // Subsystem 5: the shell, its menus and the settings record.
    ResetShellState();
    platform::ResetMemoryChrome();
    MenuHandles = MenuHandlesRecord{};
    ResetPaintSettings();
    // Subsystem 6: the panels and dialogs.
    DialogBuildState = DialogBuildStateRecord{};
    ValueDialogRecord = ValueDialogRecordType{};
    ResetPanelState();
    for (ToolGroup& group : ToolGroups) group = ToolGroup{};
    InstallLayerHooks();
}
