#include "platform/CommandBar.h"
#include "platform/Dialog.h"
#include "platform/FullScreen.h"
#include "platform/Headless.h"
#include "platform/Modal.h"
#include "platform/TapAndHold.h"
#include "platform/Window.h"

#include <utility>

namespace platform {

namespace {
WindowSystem* g_system = nullptr;
std::function<void()> g_idle;
bool g_inIdle = false;
int g_modalDepth = 0;
}  // namespace

bool ModalRunning() { return g_modalDepth > 0; }
ModalRunScope::ModalRunScope() { ++g_modalDepth; }
ModalRunScope::~ModalRunScope() { --g_modalDepth; }

void SetIdleProcedure(std::function<void()> procedure) { g_idle = std::move(procedure); }

void RunIdleProcedure() {
    if (!g_idle || g_inIdle) return;
    g_inIdle = true;
    g_idle();
    g_inIdle = false;
}

void SetWindowSystem(WindowSystem* system) { g_system = system; }

WindowSystem& Windows() {
    if (g_system) return *g_system;
    return DefaultHeadlessSystem();
}

Window* MainWindow() { return Windows().MainWindow(); }

Window* CreateCanvasWindow(int x, int y, int width, int height, WindowHandler* handler) {
    WindowStyle style;
    style.border = true;
    style.horizontalScrollBar = true;
    style.verticalScrollBar = true;
    style.doubleClicks = true;
    style.pointerTracking = true;
    return Windows().CreateChildWindow(x, y, width, height, style, handler);
}

Window* CreateChildWindow(int x, int y, int width, int height, const WindowStyle& style, WindowHandler* handler) {
    return Windows().CreateChildWindow(x, y, width, height, style, handler);
}

void DestroyWindow(Window* window) {
    if (window) Windows().DestroyWindow(window);
}

int ScreenWidth() { return Windows().ScreenWidth(); }
int ScreenHeight() { return Windows().ScreenHeight(); }
int LogicalDpiX() { return Windows().LogicalDpiX(); }
int ScrollBarHeight() { return Windows().ScrollBarHeight(); }

void SetFullScreen(bool on) { Windows().SetFullScreen(on); }

int RecognizeTapAndHold(Window& window, int x, int y) {
    return Windows().RecognizeTapAndHold(window, x, y) ? kGestureContextMenu : 0;
}

CommandBar* CreateCommandBar() { return Windows().CreateCommandBar(); }
CommandBar* GetCommandBar() { return Windows().GetCommandBar(); }

int RunModalDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) {
    const ModalRunScope modal;
    return Windows().RunModalDialog(dialogTemplate, handler);
}

Window* CreateModelessDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler) {
    return Windows().CreateModelessDialog(dialogTemplate, handler);
}

}  // namespace platform
