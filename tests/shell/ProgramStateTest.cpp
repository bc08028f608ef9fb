#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "filters/FilterEngine.h"
#include "filters/PumpedRows.h"
#include "filters/TextureList.h"
#include "image/History.h"
#include "image/Hooks.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "panels/DialogBuilder.h"
#include "panels/PanelState.h"
#include "platform/ImageDecoder.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "tools/Canvas.h"

namespace {

template <typename T>
std::string Address(T* pointer) {
    return std::to_string(reinterpret_cast<std::uintptr_t>(pointer));
}

int NoDialog() { return 0; }
void Nothing() {}

// One process-wide setting: how to change it to something a test might leave behind, and
// how to read it.
struct Global {
    const char* name;
    std::function<void()> change;
    std::function<std::string()> read;
};

std::vector<Global> Globals() {
    static platform::WindowHandler* const otherProcedure = reinterpret_cast<platform::WindowHandler*>(0x40);
    static platform::Window* const someWindow = reinterpret_cast<platform::Window*>(0x80);
    return {
        {"current image", [] { ImageState.CurrentImage = 3; }, [] { return std::to_string(ImageState.CurrentImage); }},
        {"canvas procedure hook", [] { ImageHooks.canvasProcedure = otherProcedure; },
         [] { return Address(ImageHooks.canvasProcedure); }},
        {"whole-view hook", [] { ImageHooks.showWholeView = nullptr; },
         [] { return Address(ImageHooks.showWholeView); }},
        {"foreground-picked hook", [] { CanvasHooks.ForegroundPicked = Nothing; },
         [] { return Address(CanvasHooks.ForegroundPicked); }},
        {"tool-changed hook", [] { CanvasHooks.ToolChanged = nullptr; },
         [] { return Address(CanvasHooks.ToolChanged); }},
        {"text dialog hook", [] { CanvasHooks.RunTextToolDialog = NoDialog; },
         [] { return Address(CanvasHooks.RunTextToolDialog); }},
        {"frame metrics hook", [] { DialogHooks.frameMetrics = nullptr; },
         [] { return Address(DialogHooks.frameMetrics); }},
        {"value dialog procedure", [] { ValueDialogProcedure = nullptr; },
         [] { return Address(ValueDialogProcedure); }},
        {"textures folder", [] { SetTextureFolder("/nowhere/textures"); }, [] { return TextureFolder(); }},
        {"resources folder", [] { platform::SetResourceFolder("/nowhere/resources"); },
         [] { return platform::ResourceFolder(); }},
        {"decode size limit", [] { platform::DecodePixelLimit = 4096 * 4096; },
         [] { return std::to_string(platform::DecodePixelLimit); }},
        {"helper-thread gate", [] { PumpedRowsHelperGate = Nothing; },
         [] { return std::string(PumpedRowsHelperGate ? "gate" : "none"); }},
        {"colour table writing", [] { PanelState.ColourTableWriting = true; },
         [] { return std::to_string(PanelState.ColourTableWriting); }},
        {"tool strip reported", [] { PanelState.ToolStripReported = true; },
         [] { return std::to_string(PanelState.ToolStripReported); }},
        {"value dialog writing", [] { ValueDialogRecord.updating = 1; },
         [] { return std::to_string(ValueDialogRecord.updating); }},
        {"recovery timer", [] { ShellState.RecoveryTimerWindow = someWindow; },
         [] { return Address(ShellState.RecoveryTimerWindow); }},
        {"filter busy", [] { FilterState.FilterBusy = kFilterRestart; },
         [] { return std::to_string(FilterState.FilterBusy); }},
        {"history budget", [] { SetHistoryBudget(1); }, [] { return std::to_string(HistoryBudget()); }},
        {"tool", [] { PaintSettings.Tool = 9; }, [] { return std::to_string(PaintSettings.Tool); }},
    };
}

}  // namespace

TEST(ProgramState, ResetPutsBackEverySettingATestMayChange) {
    ResetProgramState();
    const std::vector<Global> globals = Globals();
    std::vector<std::string> fresh;
    for (const Global& global : globals) fresh.push_back(global.read());
    // Installed hooks are the program's own, not empty.
    EXPECT_NE(ImageHooks.canvasProcedure, nullptr);
    EXPECT_NE(CanvasHooks.ToolChanged, nullptr);
    EXPECT_NE(CanvasHooks.RunTextToolDialog, nullptr);
    EXPECT_NE(ValueDialogProcedure, nullptr);

    for (const Global& global : globals) global.change();
    for (std::size_t i = 0; i < globals.size(); ++i) {
        EXPECT_NE(globals[i].read(), fresh[i]) << globals[i].name << " did not change";
    }

    ResetProgramState();
    for (std::size_t i = 0; i < globals.size(); ++i) {
        EXPECT_EQ(globals[i].read(), fresh[i]) << globals[i].name << " was not put back";
    }
}
