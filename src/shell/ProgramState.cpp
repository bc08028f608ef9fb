#include "shell/ProgramState.h"

#include "files/OpenSave.h"
#include "filters/FilterEngine.h"
#include "image/Hooks.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/Undo.h"
#include "image/View.h"
#include "panels/ColourBar.h"
#include "panels/DialogBuilder.h"
#include "panels/PanelState.h"
#include "panels/TextToolDialog.h"
#include "panels/ToolBar.h"
#include "panels/ValueDialog.h"
#include "platform/Chrome.h"
#include "platform/ImageDecoder.h"
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
    CanvasHooks.ForegroundPicked = RedrawSwatch;
    CanvasHooks.ToolChanged = RepaintToolBar;
    CanvasHooks.RunTextToolDialog = RunTextToolDialog;
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
    // Subsystem 3: the filter engine, the shared random generator and the textures folder.
    ResetFilterState();
    // Subsystem 4: the recent files, and the decoders' resources folder and size limit.
    ResetFileState();
    platform::ResetDecoding();
    // Subsystem 5: the shell, its menus and the settings record.
    ResetShellState();
    platform::ResetMemoryChrome();
    MenuHandles = MenuHandlesRecord{};
    ResetPaintSettings();
    // Subsystem 6: the panels and dialogs.
    DialogBuildState = DialogBuildStateRecord{};
    ValueDialogRecord = ValueDialogRecordType{};
    ValueDialogProcedure = ValueDialogHandlerInstance();
    ResetPanelState();
    for (ToolGroup& group : ToolGroups) group = ToolGroup{};
    // A test may have put hooks of its own in place.
    ImageHooks = ImageHooksRecord{};
    CanvasHooks = CanvasHooksRecord{};
    DialogHooks = DialogHooksRecord{};
    InstallLayerHooks();
}
