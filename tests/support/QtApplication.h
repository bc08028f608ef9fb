// The one QApplication of a Qt test program.
#pragma once

#include <QApplication>
#include <QtGlobal>

inline QApplication& TestApplication() {
    static QApplication* app = [] {
        static int argc = 1;
        static char name[] = "pixelwright-test";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}
