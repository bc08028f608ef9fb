// Mouse input and commands sent to the real widgets of the running program, each followed by
// the events it caused, as the offscreen flows through the whole program use them, and the
// widgets behind a built dialog's controls.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <QWidget>

#include "platform/Window.h"
#include "platform/qt/QtCommandBar.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtWindowSystem.h"

// The event alone, nothing else processed: a timer set before a press that opens a modal
// dialog at its release still waits for the dialog.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    SendMouse(widget, type, at, button, held);
    QApplication::processEvents();
}

// A press and a release with nothing processed between or after.
inline void Tap(QWidget* widget, QPoint at) {
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

inline void Click(QWidget* widget, QPoint at) {
    Mouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// A click through the program's window, the release already waiting: a press on the tool
// bar waits to see whether it is held, and the release must come while it waits.
inline void TapThroughWindow(QWidget* widget, QPoint at) {
    QWindow* window = widget->window()->windowHandle();
    const QPoint p = widget->mapTo(widget->window(), at);
    QTimer::singleShot(0, [window, p] { QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, p); });
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, p);
    QApplication::processEvents();
    QApplication::processEvents();
}

// The second press of a double click arrives as a double-click event.
inline void DoubleClick(QWidget* widget, QPoint at) {
    Click(widget, at);
    Mouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// Press, a move half-way, a move to the end, release.
inline void Drag(QWidget* widget, QPoint from, QPoint to) {
    Mouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

// Clicks the command bar button that sends id.
inline void ClickBarButton(platform::qt::QtCommandBar& bar, int id) {
    for (int i = 0; i < bar.Model().ButtonCount(); ++i) {
        if (bar.Model().ButtonId(i) != id) continue;
        Click(&bar, bar.ButtonRect(i).center());
        return;
    }
    ADD_FAILURE() << "no button " << id;
}

// A menu command, as choosing it sends it to the main window.
inline void SendCommand(int id) {
    platform::WindowMessage m;
    m.kind = platform::MessageKind::Command;
    m.id = id;
    platform::MainWindow()->Send(m);
    QApplication::processEvents();
}

// The widget of a built dialog's control, or null when the control is missing or of another kind.
template <typename T>
T* WidgetOf(platform::Window& dialog, int id) {
    auto* control = static_cast<platform::qt::QtControl*>(dialog.FindControl(id));
    return control ? qobject_cast<T*>(control->Widget()) : nullptr;
}

// The up or the down arrow of an up-down control.
inline QToolButton* ArrowOf(platform::Window& dialog, int id, Qt::ArrowType arrow) {
    QWidget* box = WidgetOf<QWidget>(dialog, id);
    if (!box) return nullptr;
    for (QToolButton* button : box->findChildren<QToolButton*>()) {
        if (button->arrowType() == arrow) return button;
    }
    return nullptr;
}
