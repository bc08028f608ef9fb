#include "platform/qt/QtChrome.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "platform/qt/QtWindowSystem.h"

namespace platform::qt {

namespace {

constexpr int kPadding = 6;
constexpr int kSampleSide = 10;
constexpr int kNoteMs = 3000;
const QColor kFace(0xD8, 0xD8, 0xD8);
const QColor kSeparator(0x98, 0x98, 0x98);

}  // namespace

QtStatusBar::QtStatusBar(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    noteTimer_.setSingleShot(true);
    QObject::connect(&noteTimer_, &QTimer::timeout, this, [this] {
        note_.clear();
        update();
    });
}

void QtStatusBar::SetFields(const StatusFields& fields) {
    // Only a change is drawn: the pointer moving within one pixel of the picture costs nothing.
    if (fields == fields_) return;
    fields_ = fields;
    update();
}

void QtStatusBar::ShowNote(const QString& note) {
    note_ = note;
    noteTimer_.start(kNoteMs);
    update();
}

void QtStatusBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFace);
    painter.setPen(kSeparator);
    painter.drawLine(0, 0, width(), 0);
    const QFontMetrics metrics(font());
    const int h = height();
    // The facts about the picture at the right, what is under the pointer from the left.
    int right = width();
    const auto rightField = [&](const std::string& text) {
        if (text.empty()) return;
        const QString s = QString::fromStdString(text);
        const int w = metrics.horizontalAdvance(s) + 2 * kPadding;
        right -= w;
        painter.setPen(Qt::black);
        painter.drawText(QRect(right, 1, w, h - 1), Qt::AlignCenter, s);
        painter.setPen(kSeparator);
        painter.drawLine(right, 4, right, h - 4);
    };
    rightField(fields_.zoom);
    rightField(fields_.size);
    rightField(fields_.piece);
    rightField(note_.toStdString());
    int left = 0;
    const auto leftField = [&](const std::string& text, int sample) {
        if (text.empty()) return;
        int x = left + kPadding;
        if (sample >= 0) {
            const QColor colour(sample & 0xFF, (sample >> 8) & 0xFF, (sample >> 16) & 0xFF);
            const QRect square(x, (h - kSampleSide) / 2 + 1, kSampleSide, kSampleSide);
            painter.fillRect(square, colour);
            painter.setPen(Qt::black);
            painter.drawRect(square.adjusted(0, 0, -1, -1));
            x += kSampleSide + 4;
        }
        const QString s = QString::fromStdString(text);
        const int room = std::max(0, right - x - kPadding);
        painter.setPen(Qt::black);
        painter.drawText(QRect(x, 1, room, h - 1), Qt::AlignVCenter | Qt::AlignLeft,
                         metrics.elidedText(s, Qt::ElideRight, room));
        left = std::min(right, x + metrics.horizontalAdvance(s) + kPadding);
        painter.setPen(kSeparator);
        painter.drawLine(left, 4, left, h - 4);
    };
    leftField(fields_.pointer, -1);
    leftField(fields_.colour, fields_.colourValue);
}

void QtChrome::ShowStatusBar(bool shown) { system_.SetStatusBarShown(shown); }

bool QtChrome::StatusBarShown() const { return system_.StatusBarShown(); }

void QtChrome::SetStatusFields(const StatusFields& fields) { system_.Status()->SetFields(fields); }

void QtChrome::ShowStatusNote(const std::string& note) { system_.Status()->ShowNote(QString::fromStdString(note)); }

bool QtChrome::Placement(WindowPlacement& out) const {
    const QWidget* screen = system_.Screen();
    if (!screen) return false;
    const bool set = screen->isMaximized() || screen->isFullScreen();
    const QRect r = set ? screen->normalGeometry() : screen->geometry();
    if (r.isEmpty()) return false;
    out.x = r.x();
    out.y = r.y();
    out.width = r.width();
    out.height = r.height();
    out.maximised = screen->isMaximized() || (screen->windowState() & Qt::WindowMaximized) != 0;
    return true;
}

void QtChrome::Place(const WindowPlacement& placement) {
    QWidget* screen = system_.Screen();
    screen->setGeometry(placement.x, placement.y, placement.width, placement.height);
    if (placement.maximised) screen->setWindowState(screen->windowState() | Qt::WindowMaximized);
}

std::vector<raster::Rect> QtChrome::Screens() const {
    std::vector<raster::Rect> rects;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        rects.push_back({g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
    }
    return rects;
}

void QtChrome::MinimumSize(int& width, int& height) const {
    const QSize minimum = system_.MinimumScreenSize();
    width = minimum.width();
    height = minimum.height();
}

}  // namespace platform::qt
