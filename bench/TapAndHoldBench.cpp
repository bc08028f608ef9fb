// A quick tap on the canvas of the real program (offscreen): how soon the tap-and-hold
// recogniser gives the press back once the release arrives. It must not wait out the half
// second that makes a hold.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include "image/ImageSlots.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/TapAndHold.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"

namespace {

QApplication& Application() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "pixelwright-bench";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

void BM_TapAndHoldQuickTap(benchmark::State& state) {
    Application();
    ResetProgramState();
    platform::MemorySettingsStore settings;
    platform::qt::InstallQtPlatform(&settings, 480, 640);
    if (StartApplication("/opt/pixelwright/bin/pixelwright") != 1) {
        state.SkipWithError("the program did not start");
        platform::qt::UninstallQtPlatform();
        return;
    }
    QCoreApplication::processEvents();
    platform::qt::QtWindowSystem& system = *platform::qt::InstalledSystem();
    auto* canvas = static_cast<platform::qt::QtWindow*>(CurrentBox().window);
    QWindow* window = system.Screen()->windowHandle();
    const QPoint at = canvas->Client()->mapTo(system.Screen(), QPoint(10, 10));
    for (auto _ : state) {
        system.NotePress(Qt::LeftButton);
        QTimer::singleShot(0, [&] { QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at); });
        benchmark::DoNotOptimize(platform::RecognizeTapAndHold(*canvas, 10, 10));
        state.PauseTiming();
        QCoreApplication::processEvents();  // the release handed back to the canvas
        state.ResumeTiming();
    }
    platform::qt::UninstallQtPlatform();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ResetProgramState();
}
BENCHMARK(BM_TapAndHoldQuickTap)->Unit(benchmark::kMillisecond);

}  // namespace
