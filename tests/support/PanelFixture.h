// The program started on the headless window system, with the panels' state fresh (ShellTest
// starts from ResetProgramState), and the stylus and paint steps the panel tests share.
#pragma once

#include "panels/PanelState.h"
#include "platform/Headless.h"
#include "support/ShellFixture.h"

class PanelTest : public ShellTest {
protected:
    static platform::HeadlessWindow* Headless(platform::Window* window) {
        return static_cast<platform::HeadlessWindow*>(window);
    }
    static int Stylus(platform::Window* window, platform::MessageKind kind, int x, int y) {
        platform::WindowMessage message;
        message.kind = kind;
        message.x = x;
        message.y = y;
        return window->Send(message);
    }
    static void Tap(platform::Window* window, int x, int y) {
        Stylus(window, platform::MessageKind::StylusDown, x, y);
        Stylus(window, platform::MessageKind::StylusUp, x, y);
    }
    static void Paint(platform::Window* window) {
        window->Invalidate();
        window->Update();
    }
};
