// The window chrome on Qt: the status bar drawn under the command bar, outside the screen
// area, and the program window's place on the desktop.
#pragma once

#include <QTimer>
#include <QWidget>

#include "platform/Chrome.h"

namespace platform::qt {

class QtWindowSystem;

class QtStatusBar : public QWidget {
public:
    explicit QtStatusBar(QWidget* parent);
    void SetFields(const StatusFields& fields);
    void ShowNote(const QString& note);
    const StatusFields& Fields() const { return fields_; }
    QString Note() const { return note_; }

    static constexpr int kHeight = 20;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    StatusFields fields_;
    QString note_;
    QTimer noteTimer_;
};

class QtChrome : public WindowChrome {
public:
    explicit QtChrome(QtWindowSystem& system) : system_(system) {}
    void ShowStatusBar(bool shown) override;
    bool StatusBarShown() const override;
    void SetStatusFields(const StatusFields& fields) override;
    void ShowStatusNote(const std::string& note) override;
    bool Placement(WindowPlacement& out) const override;
    void Place(const WindowPlacement& placement) override;
    std::vector<raster::Rect> Screens() const override;
    void MinimumSize(int& width, int& height) const override;

private:
    QtWindowSystem& system_;
};

}  // namespace platform::qt
