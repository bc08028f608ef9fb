// The command bar on Qt: drawn from its model, text buttons drop their menu upwards from
// the bottom of the screen, image buttons send their identifier at once.
#pragma once

#include <QMenu>
#include <QWidget>
#include <memory>

#include "platform/MenuModel.h"

namespace platform::qt {

class QtWindowSystem;

class QtCommandBar : public QWidget {
public:
    QtCommandBar(QWidget* parent, QtWindowSystem& system);

    CommandBarModel& Model() { return model_; }
    // Where button index sits in the bar; an empty rectangle past the last one.
    QRect ButtonRect(int index) const;
    int ButtonAt(const QPoint& point) const;
    // The drop-down menu of a text button as it would show now (update rules applied).
    std::unique_ptr<QMenu> BuildMenu(int index);
    // What a tap on the button does: drop its menu, or send its identifier.
    void Press(int index);

    static constexpr int kHeight = 26;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void AddShortcutKeys(const CommandBarModel::Shortcut& shortcut);

    QtWindowSystem& system_;
    CommandBarModel model_;
    int down_ = -1;
};

}  // namespace platform::qt
