#include "platform/qt/QtCommandBar.h"

#include <QHelpEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QToolTip>

#include "platform/qt/QtImage.h"
#include "platform/qt/QtWindowSystem.h"

namespace platform::qt {

namespace {

constexpr int kImageButtonWidth = 24;
constexpr int kTextPadding = 6;
const QColor kBarColour(0xD8, 0xD8, 0xD8);
// The strip's key colour: the bar shows through where the images are magenta.
constexpr QRgb kKeyColour = qRgb(255, 0, 255);

QImage KeyedOut(const QImage& tile) {
    QImage keyed = tile.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        QRgb* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if (row[x] == kKeyColour) row[x] = 0;
        }
    }
    return keyed;
}

QKeySequence KeysOf(const std::string& keys) {
    return QKeySequence(QString::fromStdString(keys), QKeySequence::PortableText);
}

void FillMenu(QMenu& menu, const MenuModel& model, const CommandBarModel& bar, QtWindowSystem& system) {
    for (const MenuModel::Item& item : model.Items()) {
        if (item.subMenu) {
            QMenu* sub = menu.addMenu(QString::fromStdString(item.label));
            FillMenu(*sub, *item.subMenu, bar, system);
        } else if (item.id == 0) {
            menu.addSeparator();
        } else {
            // The text after a tab is what the menu shows at its right edge.
            QString text = QString::fromStdString(item.label);
            const std::string keys = bar.ShortcutText(item.id);
            if (!keys.empty()) text += '\t' + KeysOf(keys).toString(QKeySequence::NativeText);
            QAction* action = menu.addAction(text);
            action->setEnabled(item.enabled);
            action->setCheckable(item.checked);
            action->setChecked(item.checked);
            const int id = item.id;
            QObject::connect(action, &QAction::triggered, [&system, id] { system.SendCommand(id); });
        }
    }
}

}  // namespace

QtCommandBar::QtCommandBar(QWidget* parent, QtWindowSystem& system) : QWidget(parent), system_(system) {
    model_.SetHeight(kHeight);
    model_.onChanged = [this] { update(); };
    model_.onShortcutAdded = [this](const CommandBarModel::Shortcut& shortcut) { AddShortcutKeys(shortcut); };
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QtCommandBar::AddShortcutKeys(const CommandBarModel::Shortcut& shortcut) {
    // The program's window holds the keys, so they work wherever its focus is.
    auto* keys = new QShortcut(KeysOf(shortcut.keys), parentWidget() ? parentWidget() : this);
    keys->setContext(Qt::WindowShortcut);
    keys->setAutoRepeat(false);
    const int id = shortcut.id;
    QObject::connect(keys, &QShortcut::activated, this, [this, id] { system_.RunShortcut(id); });
}

QRect QtCommandBar::ButtonRect(int index) const {
    const QFontMetrics metrics(font());
    int x = 0;
    for (int i = 0; i < model_.ButtonCount(); ++i) {
        const auto& button = model_.Buttons()[i];
        const int width = button.image >= 0
                              ? kImageButtonWidth
                              : metrics.horizontalAdvance(QString::fromStdString(button.label)) + 2 * kTextPadding;
        if (i == index) return QRect(x, 0, width, height());
        x += width;
    }
    return QRect();
}

int QtCommandBar::ButtonAt(const QPoint& point) const {
    for (int i = 0; i < model_.ButtonCount(); ++i) {
        if (ButtonRect(i).contains(point)) return i;
    }
    return -1;
}

std::unique_ptr<QMenu> QtCommandBar::BuildMenu(int index) {
    if (index < 0 || index >= model_.ButtonCount() || !model_.Buttons()[index].menu) return nullptr;
    model_.UpdateMenu(index);
    auto menu = std::make_unique<QMenu>(this);
    FillMenu(*menu, *model_.Buttons()[index].menu, model_, system_);
    return menu;
}

void QtCommandBar::Press(int index) {
    if (index < 0 || index >= model_.ButtonCount()) return;
    const auto& button = model_.Buttons()[index];
    if (!button.enabled) return;
    if (!button.menu) {
        system_.SendCommand(button.id);
        return;
    }
    std::unique_ptr<QMenu> menu = BuildMenu(index);
    down_ = index;
    update();
    // The bar is at the bottom of the screen: the menu rises above its button.
    const QRect r = ButtonRect(index);
    const QSize size = menu->sizeHint();
    menu->exec(mapToGlobal(QPoint(r.left(), -size.height())));
    down_ = -1;
    update();
}

void QtCommandBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBarColour);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(0, 0, width(), 0);
    const raster::Bitmap* strip = model_.Images();
    const int size = model_.ImageSize();
    for (int i = 0; i < model_.ButtonCount(); ++i) {
        const auto& button = model_.Buttons()[i];
        const QRect r = ButtonRect(i);
        const bool sunken = button.pressed || i == down_;
        if (sunken) {
            painter.fillRect(r.adjusted(1, 2, -1, -1), QColor(0xB0, 0xB0, 0xB0));
            painter.setPen(QColor(0x60, 0x60, 0x60));
            painter.drawRect(r.adjusted(1, 2, -2, -2));
        }
        if (button.image >= 0) {
            if (!strip) continue;
            const QImage tile = KeyedOut(ToQImage(*strip, QRect(button.image * size, 0, size, size)));
            painter.drawImage(r.left() + (r.width() - size) / 2, (height() - size) / 2, tile);
        } else {
            painter.setPen(button.enabled ? Qt::black : Qt::gray);
            painter.drawText(r, Qt::AlignCenter, QString::fromStdString(button.label));
        }
    }
}

bool QtCommandBar::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int index = ButtonAt(help->pos());
    const std::string tip = index >= 0 ? model_.ButtonToolTip(model_.ButtonId(index)) : std::string();
    if (tip.empty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this, ButtonRect(index));
    }
    return true;
}

void QtCommandBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    Press(ButtonAt(event->position().toPoint()));
}

}  // namespace platform::qt
