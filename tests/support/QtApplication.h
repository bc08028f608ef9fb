// The one QApplication of a Qt test program, on the offscreen platform whoever starts the
// program: run by hand it needs no display and behaves as under ctest.
#pragma once

#include <QApplication>
#include <QtGlobal>

inline QApplication& TestApplication() {
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "pixelwright-test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}
