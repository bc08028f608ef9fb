#include "platform/qt/QtWindow.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>

#include "platform/qt/QtBusy.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtImage.h"
#include "platform/qt/QtWindowSystem.h"

namespace platform::qt {

namespace {

constexpr raster::Colour kDialogFace = raster::MakeColour(0xEC, 0xEC, 0xEC);
const QColor kCaptionColour(0x1C, 0x4C, 0x9C);

int BarIndex(ScrollBarKind bar) { return bar == ScrollBarKind::Horizontal ? 0 : 1; }

ScrollCode CodeOfAction(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: return ScrollCode::LineUp;
        case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::LineDown;
        case QAbstractSlider::SliderPageStepSub: return ScrollCode::PageUp;
        case QAbstractSlider::SliderPageStepAdd: return ScrollCode::PageDown;
        case QAbstractSlider::SliderToMinimum: return ScrollCode::Top;
        case QAbstractSlider::SliderToMaximum: return ScrollCode::Bottom;
        case QAbstractSlider::SliderMove: return ScrollCode::ThumbTrack;
        default: return ScrollCode::EndScroll;
    }
}

// The caption strip of a dialog: its title and the OK button that closes it.
class CaptionStrip : public QWidget {
public:
    CaptionStrip(QWidget* parent, QtWindow& window) : QWidget(parent), window_(window) {
        ok_ = new QToolButton(this);
        ok_->setText("OK");
        ok_->setAutoRaise(true);
        ok_->setStyleSheet("QToolButton { color: white; font-weight: bold; border: 1px solid white; padding: 0px 3px; }");
        QObject::connect(ok_, &QToolButton::clicked, [this] {
            WindowMessage message;
            message.kind = MessageKind::Command;
            message.id = 1;
            window_.Send(message);
        });
    }

protected:
    void resizeEvent(QResizeEvent*) override { ok_->setGeometry(width() - 30, 2, 27, height() - 4); }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), kCaptionColour);
        QFont font = painter.font();
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(rect().adjusted(4, 0, -34, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromStdString(window_.Title()));
    }

private:
    QtWindow& window_;
    QToolButton* ok_;
};

}  // namespace

OuterWidget::OuterWidget(QWidget* parent) : QWidget(parent) {}

OuterWidget::~OuterWidget() { window.reset(); }

void OuterWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void OuterWidget::keyPressEvent(QKeyEvent* event) {
    if (!window || !window->IsDialog()) {
        QWidget::keyPressEvent(event);
        return;
    }
    WindowMessage message;
    message.kind = MessageKind::Command;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        message.id = 1;
        window->Send(message);
    } else if (event->key() == Qt::Key_Escape) {
        // Escape is Cancel; a dialog that has no Cancel is closed as its close button would.
        message.id = 2;
        window->Send(message);
        if (window && !window->Ended() && !window->IsDestroyed()) {
            WindowMessage close;
            close.kind = MessageKind::Close;
            window->Send(close);
        }
    } else {
        QWidget::keyPressEvent(event);
    }
}

ClientWidget::ClientWidget(QWidget* parent, QtWindow& window) : QWidget(parent), window_(window) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
}

bool ClientWidget::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const ToolTip tip = window_.ToolTipAt(help->pos().x(), help->pos().y());
    if (tip.text.empty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const QRect area(tip.area.left, tip.area.top, tip.area.Width(), tip.area.Height());
    QToolTip::showText(help->globalPos(), QString::fromStdString(tip.text), this, area);
    return true;
}

void ClientWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    window_.PaintClient(painter, event->rect());
}

void ClientWidget::SendStylus(MessageKind kind, QMouseEvent* event) {
    WindowMessage message;
    message.kind = kind;
    const QPoint p = event->position().toPoint();
    message.x = p.x();
    message.y = p.y();
    window_.Send(message);
}

void ClientWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    window_.System().NotePress(event->button());
    SendStylus(MessageKind::StylusDown, event);
}

void ClientWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    window_.System().NotePress(event->button());
    SendStylus(window_.WantsDoubleClicks() ? MessageKind::DoubleTap : MessageKind::StylusDown, event);
}

void ClientWidget::mouseMoveEvent(QMouseEvent* event) {
    if (window_.TracksPointer()) SendStylus(MessageKind::PointerMove, event);
    if (event->buttons() == Qt::NoButton && !window_.HasCapture()) return;
    SendStylus(MessageKind::StylusMove, event);
}

void ClientWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) return;
    SendStylus(MessageKind::StylusUp, event);
}

void ClientWidget::leaveEvent(QEvent*) {
    if (!window_.TracksPointer()) return;
    WindowMessage message;
    message.kind = MessageKind::PointerLeave;
    window_.Send(message);
}

void ClientWidget::wheelEvent(QWheelEvent* event) {
    WindowMessage message;
    message.kind = MessageKind::Wheel;
    const QPoint p = event->position().toPoint();
    message.x = p.x();
    message.y = p.y();
    message.wheel.angleX = event->angleDelta().x();
    message.wheel.angleY = event->angleDelta().y();
    message.wheel.pixelX = event->pixelDelta().x();
    message.wheel.pixelY = event->pixelDelta().y();
    message.wheel.shift = (event->modifiers() & Qt::ShiftModifier) != 0;
    message.wheel.control = (event->modifiers() & Qt::ControlModifier) != 0;
    // A window that has no use for the wheel leaves it to the one beneath.
    if (window_.Send(message)) {
        event->accept();
    } else {
        event->ignore();
    }
}

QtWindow* QtWindow::Create(QtWindowSystem& system, QWidget* parent, const WindowStyle& style, WindowHandler* handler,
                           bool dialog) {
    auto* outer = new OuterWidget(parent);
    outer->window.reset(new QtWindow(system, outer, style, handler, dialog));
    return outer->window.get();
}

QtWindow::QtWindow(QtWindowSystem& system, OuterWidget* outer, const WindowStyle& style, WindowHandler* handler,
                   bool dialog)
    : system_(system), outer_(outer), style_(style), handler_(handler), dialog_(dialog) {
    if (dialog_) {
        style_.border = true;
        hasBackground_ = true;
        background_ = kDialogFace;
    }
    client_ = new ClientWidget(outer_, *this);
    client_->setMouseTracking(style_.pointerTracking);
    for (ScrollBarKind kind : {ScrollBarKind::Horizontal, ScrollBarKind::Vertical}) {
        const bool wanted = kind == ScrollBarKind::Horizontal ? style_.horizontalScrollBar : style_.verticalScrollBar;
        if (!wanted) continue;
        auto* bar = new QScrollBar(kind == ScrollBarKind::Horizontal ? Qt::Horizontal : Qt::Vertical, outer_);
        bar->setSingleStep(5);
        bar->hide();
        QObject::connect(bar, &QAbstractSlider::actionTriggered, [this, kind](int action) { OnBarAction(kind, action); });
        bars_[BarIndex(kind)] = bar;
    }
    outer_->setVisible(false);
}

QtWindow::~QtWindow() {
    for (auto& control : controls_) control->Disconnect();
}

int QtWindow::Send(const WindowMessage& message) {
    if (!handler_) return 0;
    const int result = handler_->Handle(*this, message);
    RunIdleProcedure();
    return result;
}

void QtWindow::Detach() {
    handler_ = nullptr;
    for (auto& entry : timers_) entry.second->stop();
    if (client_->mouseGrabber() == client_) client_->releaseMouse();
    if (modalLoop_) modalLoop_->quit();
}

bool QtWindow::BarShown(ScrollBarKind bar) const {
    if (!bars_[BarIndex(bar)]) return false;
    const ScrollBarInfo& info = barInfo_[BarIndex(bar)];
    if (info.page <= 0) return info.max > info.min;
    return info.max - info.min + 1 > info.page;
}

void QtWindow::ResizeSurface(int width, int height) {
    raster::BitmapInfo info{};
    info.header.width = std::max(width, 1);
    info.header.height = std::max(height, 1);
    info.header.bitCount = 24;
    auto bitmap = raster::Bitmap::Create(info);
    if (!bitmap) return;
    std::memset(bitmap->Bits(), 0xFF, bitmap->ByteSize());
    // Keep what was shown: only the uncovered part waits for the next paint.
    if (const raster::Bitmap* old = surface_.SelectedBitmap()) {
        const int rows = std::min(old->Height(), bitmap->Height());
        const int bytes = std::min(old->Width(), bitmap->Width()) * 3;
        for (int r = 0; r < rows; ++r) std::memcpy(bitmap->Row(r), old->Row(r), static_cast<std::size_t>(bytes));
    }
    surface_.Select(std::move(bitmap));
}

void QtWindow::Relayout() {
    const int w = outer_->width();
    const int h = outer_->height();
    const int b = style_.border ? 1 : 0;
    const int c = captionShown_ ? kCaptionHeight : 0;
    const int sb = system_.ScrollBarHeight();
    const bool hShown = BarShown(ScrollBarKind::Horizontal);
    const bool vShown = BarShown(ScrollBarKind::Vertical);
    const int cw = std::max(0, w - 2 * b - (vShown ? sb : 0));
    const int ch = std::max(0, h - 2 * b - c - (hShown ? sb : 0));
    if (caption_) {
        caption_->setGeometry(b, b, std::max(0, w - 2 * b), c);
        caption_->setVisible(captionShown_);
    }
    if (QScrollBar* bar = bars_[1]) {
        bar->setGeometry(b + cw, b + c, sb, ch);
        bar->setVisible(vShown);
    }
    if (QScrollBar* bar = bars_[0]) {
        bar->setGeometry(b, b + c + ch, cw, sb);
        bar->setVisible(hShown);
    }
    client_->setGeometry(b, b + c, cw, ch);
    const raster::Bitmap* current = surface_.SelectedBitmap();
    const bool sameSize = current && current->Width() == std::max(cw, 1) && current->Height() == std::max(ch, 1);
    if (sameSize) return;
    ResizeSurface(cw, ch);
    paintPending_ = true;
    client_->update();
    WindowMessage message;
    message.kind = MessageKind::Size;
    message.width = cw;
    message.height = ch;
    Send(message);
}

void QtWindow::Move(int x, int y, int width, int height, bool repaint) {
    outer_->setGeometry(x, y, std::max(width, 0), std::max(height, 0));
    Relayout();
    if (repaint) outer_->update();
}

void QtWindow::Show(bool visible) {
    // The main window is the screen's frame: showing it shows the program's window.
    if (visible && system_.MainWindow() == this) system_.Screen()->show();
    outer_->setVisible(visible);
    if (!visible) return;
    client_->update();
    // The first showing tells the handler its size, as creation did not.
    if (!shownOnce_) {
        shownOnce_ = true;
        WindowMessage message;
        message.kind = MessageKind::Size;
        message.width = client_->width();
        message.height = client_->height();
        Send(message);
    }
}

bool QtWindow::IsVisible() const { return !outer_->isHidden(); }

void QtWindow::BringToTop() { outer_->raise(); }

void QtWindow::SetTitle(const std::string& title) {
    title_ = title;
    if (caption_) caption_->update();
    if (outer_->isWindow()) outer_->setWindowTitle(QString::fromStdString(title));
    // The main window's frame is the screen's: its title is the program window's.
    if (system_.MainWindow() == this) system_.Screen()->setWindowTitle(QString::fromStdString(title));
}

Rect QtWindow::ClientRect() const {
    const raster::Bitmap* bitmap = surface_.SelectedBitmap();
    if (!bitmap) return {};
    return {0, 0, client_->width(), client_->height()};
}

Rect QtWindow::WindowRect() const {
    QPoint topLeft = outer_->pos();
    if (QWidget* parent = outer_->parentWidget()) {
        QWidget* screen = system_.Screen();
        if (parent != screen && screen) topLeft = parent->mapTo(screen, topLeft);
    }
    return {topLeft.x(), topLeft.y(), topLeft.x() + outer_->width(), topLeft.y() + outer_->height()};
}

raster::DrawingContext& QtWindow::GetDC() {
    if (!surface_.SelectedBitmap()) ResizeSurface(client_->width(), client_->height());
    if (!inPaint_) client_->update();
    return surface_;
}

void QtWindow::Invalidate() {
    paintPending_ = true;
    client_->update();
}

void QtWindow::Invalidate(const Rect&) { Invalidate(); }

void QtWindow::Update() {
    if (paintPending_ && !inPaint_ && handler_) {
        inPaint_ = true;
        paintPending_ = false;
        if (hasBackground_) raster::FillRect(GetDC(), ClientRect(), background_);
        WindowMessage message;
        message.kind = MessageKind::Paint;
        message.rect = ClientRect();
        Send(message);
        inPaint_ = false;
    }
    client_->update();
}

void QtWindow::PaintClient(QPainter& painter, const QRect& rect) {
    if (paintPending_ && !inPaint_ && handler_) {
        inPaint_ = true;
        paintPending_ = false;
        if (hasBackground_) raster::FillRect(GetDC(), ClientRect(), background_);
        WindowMessage message;
        message.kind = MessageKind::Paint;
        message.rect = ClientRect();
        Send(message);
        inPaint_ = false;
    }
    const raster::Bitmap* bitmap = surface_.SelectedBitmap();
    if (!bitmap) {
        painter.fillRect(rect, Qt::white);
        return;
    }
    const QImage image = ToQImage(*bitmap, rect);
    if (!image.isNull()) painter.drawImage(rect.topLeft(), image);
}

ToolTip QtWindow::ToolTipAt(int x, int y) {
    if (!handler_) return {};
    return handler_->ToolTipAt(*this, x, y);
}

void QtWindow::CaptureStylus() { client_->grabMouse(); }

void QtWindow::ReleaseStylus() {
    if (QWidget::mouseGrabber() == client_) client_->releaseMouse();
}

bool QtWindow::HasCapture() const { return QWidget::mouseGrabber() == client_; }

void QtWindow::SetTimer(int id, int periodMs) {
    if (!handler_) return;
    QTimer*& timer = timers_[id];
    if (!timer) {
        timer = new QTimer(outer_);
        QObject::connect(timer, &QTimer::timeout, [this, id] {
            // A tick could change the picture while it is being written.
            if (ProgressRunning()) return;
            WindowMessage message;
            message.kind = MessageKind::Timer;
            message.id = id;
            Send(message);
        });
    }
    timer->start(std::max(periodMs, 1));
}

void QtWindow::KillTimer(int id) {
    auto it = timers_.find(id);
    if (it != timers_.end()) it->second->stop();
}

void QtWindow::ApplyBar(ScrollBarKind kind) {
    QScrollBar* bar = bars_[BarIndex(kind)];
    if (!bar) return;
    const ScrollBarInfo& info = barInfo_[BarIndex(kind)];
    const int page = std::max(info.page, 0);
    const int top = page > 0 ? std::max(info.min, info.max - page + 1) : info.max;
    barGuard_ = true;
    bar->setRange(info.min, top);
    bar->setPageStep(std::max(page, 1));
    bar->setValue(std::clamp(info.position, info.min, std::max(info.min, top)));
    bar->setSliderPosition(bar->value());
    barGuard_ = false;
}

void QtWindow::SetScrollBar(ScrollBarKind kind, const ScrollBarInfo& info, bool) {
    const bool wasShown = BarShown(kind);
    barInfo_[BarIndex(kind)] = info;
    ApplyBar(kind);
    if (BarShown(kind) != wasShown) Relayout();
}

void QtWindow::SetScrollPosition(ScrollBarKind kind, int position, bool) {
    ScrollBarInfo& info = barInfo_[BarIndex(kind)];
    const int top = info.page > 0 ? std::max(info.min, info.max - info.page + 1) : info.max;
    info.position = std::clamp(position, info.min, std::max(info.min, top));
    ApplyBar(kind);
}

ScrollBarInfo QtWindow::GetScrollBar(ScrollBarKind kind) const { return barInfo_[BarIndex(kind)]; }

void QtWindow::OnBarAction(ScrollBarKind kind, int action) {
    if (barGuard_) return;
    QScrollBar* bar = bars_[BarIndex(kind)];
    WindowMessage message;
    message.kind = kind == ScrollBarKind::Horizontal ? MessageKind::HScroll : MessageKind::VScroll;
    message.scrollCode = CodeOfAction(action);
    message.position = bar->sliderPosition();
    Send(message);
    // The handler decides the position; the bar shows that, not its own step.
    barGuard_ = true;
    bar->setSliderPosition(barInfo_[BarIndex(kind)].position);
    barGuard_ = false;
}

Control* QtWindow::AddControl(ControlKind kind, int id, int x, int y, int width, int height, std::uint32_t style,
                              const std::string& text) {
    QtControl* previous = controls_.empty() ? nullptr : controls_.back().get();
    controls_.push_back(QtControl::Create(*this, client_, kind, id, QRect(x, y, width, height), style, text, previous));
    return controls_.back().get();
}

Control* QtWindow::FindControl(int id) {
    for (auto& control : controls_) {
        if (control->Id() == id) return control.get();
    }
    return nullptr;
}

void QtWindow::SetCaptionBar(bool shown) {
    if (shown && !caption_) caption_ = new CaptionStrip(outer_, *this);
    captionShown_ = shown;
    Relayout();
}

void QtWindow::SetBackground(raster::Colour colour) {
    hasBackground_ = true;
    background_ = colour;
    Invalidate();
}

void QtWindow::SetIcon(const raster::Bitmap* icon, const Rect& rect) {
    if (!icon) return;
    if (!icon_) icon_ = new QLabel(client_);
    icon_->setPixmap(QPixmap::fromImage(ToQImage(*icon)).scaled(rect.Width(), rect.Height()));
    icon_->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    icon_->show();
}

void QtWindow::RestoreFocus() {
    if (focused_) {
        focused_->SetFocus();
    } else if (dialog_) {
        // Keys (Escape above all) must reach a dialog that has no field to type in.
        outer_->setFocus(Qt::OtherFocusReason);
    }
}

void QtWindow::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    if (modalLoop_) modalLoop_->quit();
    if (modeless_) system_.DestroyWindow(this);
}

void QtWindow::RunModalLoop() {
    if (ended_ || !handler_) return;
    QEventLoop loop;
    modalLoop_ = &loop;
    loop.exec();
    modalLoop_ = nullptr;
}

}  // namespace platform::qt
