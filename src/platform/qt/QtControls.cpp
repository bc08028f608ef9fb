#include "platform/qt/QtControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/qt/QtFonts.h"
#include "platform/qt/QtImage.h"
#include "platform/qt/QtWindow.h"

namespace platform::qt {

namespace {

constexpr int kUpDownWidth = 13;
constexpr int kComboClosedHeight = 20;

// The font made smaller step by step, down to a size still easily read, until fits says yes.
template <typename Fits>
QFont SmallerUntilFits(QFont font, Fits fits) {
    const auto tooWide = [&] { return !fits(QFontMetrics(font)); };
    if (font.pixelSize() > 0) {
        constexpr int kSmallestPixels = 9;
        while (tooWide() && font.pixelSize() > kSmallestPixels) font.setPixelSize(font.pixelSize() - 1);
    } else if (font.pointSizeF() > 0) {
        constexpr double kSmallestPoints = 6.5;
        while (tooWide() && font.pointSizeF() - 0.5 >= kSmallestPoints) font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    return font;
}

// The dialogs give their lists fixed narrow widths: where an entry would not fit the closed
// box, its letters get a little smaller, down to a size still easily read.
void FitComboText(QComboBox* combo, const QString& item) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = false;
    option.frame = combo->hasFrame();
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const QFont font = SmallerUntilFits(combo->font(), [&](const QFontMetrics& metrics) {
        return metrics.horizontalAdvance(item) <= field.width();
    });
    if (font != combo->font()) combo->setFont(font);
}

// A label beside a control (a slider's name) must not run into it: where a word of it
// would reach the label's right edge, its letters get a little smaller, as a list entry's do.
void FitLabelText(QLabel* label, int width) {
    constexpr int kGap = 4;
    const QStringList words = label->text().split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    const QFont font = SmallerUntilFits(label->font(), [&](const QFontMetrics& metrics) {
        for (const QString& word : words) {
            if (metrics.horizontalAdvance(word) > width - kGap) return false;
        }
        return true;
    });
    if (font != label->font()) label->setFont(font);
}

Qt::Alignment AlignmentOf(std::uint32_t style) {
    if (style & kStyleCentre) return Qt::AlignHCenter | Qt::AlignVCenter;
    if (style & kStyleRight) return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QString ToQt(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace("\r\n", "\n");
    return s;
}

// The arrow keys in an up-down control's field step it as the arrows do.
class ArrowKeys : public QObject {
public:
    ArrowKeys(QObject* parent, std::function<void(int)> step) : QObject(parent), step_(std::move(step)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                step_(key == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> step_;
};

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet("QToolButton { padding: 0px; border: 1px solid #808080; }");
    return button;
}

}  // namespace

std::unique_ptr<QtControl> QtControl::Create(QtWindow& window, QWidget* parent, ControlKind kind, int id,
                                             const QRect& geometry, std::uint32_t style, const std::string& text,
                                             QtControl* previous) {
    std::unique_ptr<QtControl> control(new QtControl(window, kind, id));
    control->Build(parent, geometry, style, text, previous);
    return control;
}

void QtControl::Notify(platform::Notify code) {
    if (!connected_ || quiet_) return;
    WindowMessage message;
    message.kind = MessageKind::Command;
    message.id = id_;
    message.code = code;
    window_.Send(message);
}

void QtControl::SendScroll(int action) {
    if (!connected_) return;
    WindowMessage message;
    message.kind = MessageKind::HScroll;
    message.id = id_;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: message.scrollCode = ScrollCode::LineUp; break;
        case QAbstractSlider::SliderSingleStepAdd: message.scrollCode = ScrollCode::LineDown; break;
        case QAbstractSlider::SliderPageStepSub: message.scrollCode = ScrollCode::PageUp; break;
        case QAbstractSlider::SliderPageStepAdd: message.scrollCode = ScrollCode::PageDown; break;
        case QAbstractSlider::SliderToMinimum: message.scrollCode = ScrollCode::Top; break;
        case QAbstractSlider::SliderToMaximum: message.scrollCode = ScrollCode::Bottom; break;
        case QAbstractSlider::SliderMove: message.scrollCode = ScrollCode::ThumbTrack; break;
        default: message.scrollCode = ScrollCode::EndScroll; break;
    }
    message.position = Position();
    window_.Send(message);
}

void QtControl::SendDelta(int delta) {
    if (!connected_) return;
    WindowMessage message;
    message.kind = MessageKind::UpDownDelta;
    message.id = id_;
    message.delta = delta;
    window_.Send(message);
}

void QtControl::Build(QWidget* parent, const QRect& geometry, std::uint32_t style, const std::string& text,
                      QtControl* previous) {
    QRect place = geometry;
    switch (kind_) {
        case ControlKind::Label:
        case ControlKind::FramedLabel: {
            auto* label = new QLabel(ToQt(text), parent);
            label->setWordWrap(true);
            label->setAlignment((AlignmentOf(style) & Qt::AlignHorizontal_Mask) | Qt::AlignTop);
            if (kind_ == ControlKind::FramedLabel) {
                // A title bar of one line: a long title is cut at the right, not wrapped.
                label->setWordWrap(false);
                label->setFrameStyle(QFrame::Box | QFrame::Plain);
                label->setLineWidth(1);
                label->setAlignment((AlignmentOf(style) & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter);
            } else {
                FitLabelText(label, geometry.width());
            }
            widget_ = label;
            break;
        }
        case ControlKind::PushButton: {
            auto* button = new QPushButton(ToQt(text), parent);
            button->setAutoDefault(false);
            QObject::connect(button, &QPushButton::clicked, [this] { Notify(Notify::Clicked); });
            widget_ = button;
            break;
        }
        case ControlKind::Edit:
        case ControlKind::NumberEdit: {
            auto* edit = new QLineEdit(ToQt(text), parent);
            edit->setAlignment(AlignmentOf(style));
            edit->setReadOnly((style & kStyleReadOnly) != 0);
            // A one-pixel border, as the handheld draws it: the narrow number fields beside
            // their arrows then show a signed three-digit value whole.
            edit->setStyleSheet("QLineEdit { padding: 0px; border: 1px solid #808080; }"
                                " QLineEdit:focus { border-color: #1c4c9c; }");
            edit->setTextMargins(-1, 0, -1, 0);
            if (kind_ == ControlKind::NumberEdit) {
                edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
            }
            QObject::connect(edit, &QLineEdit::textChanged, [this] { Notify(Notify::Changed); });
            widget_ = edit;
            break;
        }
        case ControlKind::MultiLineEdit: {
            auto* edit = new QPlainTextEdit(parent);
            edit->setPlainText(ToQt(text));
            edit->setReadOnly((style & kStyleReadOnly) != 0);
            edit->setVerticalScrollBarPolicy((style & kStyleVerticalScroll) ? Qt::ScrollBarAsNeeded
                                                                           : Qt::ScrollBarAlwaysOff);
            edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
            edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            QObject::connect(edit, &QPlainTextEdit::textChanged, [this] { Notify(Notify::Changed); });
            widget_ = edit;
            break;
        }
        case ControlKind::ListBox: {
            auto* list = new QListWidget(parent);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            QObject::connect(list, &QListWidget::currentRowChanged, [this] { Notify(Notify::SelectionChanged); });
            widget_ = list;
            break;
        }
        case ControlKind::RadioButton:
        case ControlKind::CheckBox: {
            QAbstractButton* button = kind_ == ControlKind::RadioButton
                                          ? static_cast<QAbstractButton*>(new QRadioButton(ToQt(text), parent))
                                          : static_cast<QAbstractButton*>(new QCheckBox(ToQt(text), parent));
            // A narrow gap between box and text, so that labels fit the widths the dialogs give.
            if (kind_ == ControlKind::CheckBox) button->setStyleSheet("QCheckBox { spacing: 2px; }");
            QObject::connect(button, &QAbstractButton::clicked, [this] { Notify(Notify::Clicked); });
            widget_ = button;
            break;
        }
        case ControlKind::UpDown: {
            auto* box = new QWidget(parent);
            auto* layout = new QVBoxLayout(box);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
            QToolButton* up = ArrowButton(box, Qt::UpArrow);
            QToolButton* down = ArrowButton(box, Qt::DownArrow);
            layout->addWidget(up);
            layout->addWidget(down);
            QObject::connect(up, &QToolButton::clicked, [this] { SendDelta(1); });
            QObject::connect(down, &QToolButton::clicked, [this] { SendDelta(-1); });
            // Sits at the right edge of the control made just before it, which gives up the room.
            if (previous && previous->Widget()) {
                QWidget* buddy = previous->Widget();
                const QRect b = buddy->geometry();
                buddy->setGeometry(b.x(), b.y(), std::max(0, b.width() - kUpDownWidth), b.height());
                place = QRect(b.x() + b.width() - kUpDownWidth, b.y(), kUpDownWidth, b.height());
                buddy->installEventFilter(new ArrowKeys(box, [this](int delta) { SendDelta(delta); }));
            }
            widget_ = box;
            break;
        }
        case ControlKind::DropDownCombo:
        case ControlKind::DropDownList: {
            auto* combo = new QComboBox(parent);
            combo->setEditable(kind_ == ControlKind::DropDownCombo);
            if (combo->isEditable()) {
                combo->setEditText(ToQt(text));
                QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, [this] { Notify(Notify::Changed); });
            }
            QObject::connect(combo, &QComboBox::activated, [this] { Notify(Notify::SelectionChanged); });
            // The height a dialog gives a combo box includes its dropped list; closed it is one line.
            place.setHeight(std::min(place.height(), kComboClosedHeight));
            widget_ = combo;
            break;
        }
        case ControlKind::Trackbar: {
            auto* slider = new QSlider(Qt::Horizontal, parent);
            slider->setRange(0, 100);
            QObject::connect(slider, &QAbstractSlider::actionTriggered, [this](int action) { SendScroll(action); });
            QObject::connect(slider, &QAbstractSlider::sliderReleased,
                             [this] { SendScroll(QAbstractSlider::SliderNoAction); });
            widget_ = slider;
            break;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            bar->setRange(0, 100);
            bar->setValue(0);
            widget_ = bar;
            break;
        }
    }
    if (!widget_) widget_ = new QWidget(parent);
    widget_->setGeometry(place);
    widget_->setEnabled((style & kStyleDisabled) == 0);
    widget_->show();
}

void QtControl::Disconnect() {
    connected_ = false;
    if (widget_) QObject::disconnect(widget_, nullptr, nullptr, nullptr);
}

std::string QtControl::Text() const {
    if (!widget_) return {};
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) return edit->text().toStdString();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_)) {
        QString text = edit->toPlainText();
        text.replace("\n", "\r\n");
        return text.toStdString();
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) return combo->currentText().toStdString();
    if (auto* label = qobject_cast<QLabel*>(widget_)) return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(widget_)) return button->text().toStdString();
    if (auto* list = qobject_cast<QListWidget*>(widget_)) {
        return list->currentItem() ? list->currentItem()->text().toStdString() : std::string();
    }
    return {};
}

void QtControl::SetText(const std::string& text) {
    if (!widget_) return;
    const QString value = ToQt(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget_)) {
        edit->setText(value);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget_)) {
        edit->setPlainText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        if (combo->isEditable()) combo->setEditText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget_)) {
        label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
        button->setText(value);
    }
}

void QtControl::Move(int x, int y, int width, int height) {
    if (widget_) widget_->setGeometry(x, y, width, height);
}

Rect QtControl::Geometry() const {
    if (!widget_) return {};
    const QRect g = widget_->geometry();
    return {g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

void QtControl::Show(bool visible) {
    if (widget_) widget_->setVisible(visible);
}

void QtControl::SetEnabled(bool enabled) {
    if (widget_) widget_->setEnabled(enabled);
}

bool QtControl::IsEnabled() const { return widget_ && widget_->isEnabled(); }

void QtControl::SetFocus() {
    if (!widget_) return;
    widget_->setFocus(Qt::OtherFocusReason);
    window_.SetFocusedControl(this);
}

bool QtControl::HasFocus() const { return widget_ && widget_->hasFocus(); }

void QtControl::BringToTop() {
    if (widget_) widget_->raise();
}

void QtControl::SetFont(const raster::Font* font) {
    if (!widget_ || !font) return;
    if (auto* qtFont = dynamic_cast<const QtFont*>(font)) widget_->setFont(qtFont->font);
}

void QtControl::SetColours(raster::Colour text, raster::Colour background) {
    if (!widget_) return;
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::WindowText, ToQColor(text));
    palette.setColor(QPalette::Text, ToQColor(text));
    palette.setColor(QPalette::Window, ToQColor(background));
    palette.setColor(QPalette::Base, ToQColor(background));
    palette.setColor(QPalette::ButtonText, ToQColor(text));
    palette.setColor(QPalette::Button, ToQColor(background));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
}

bool QtControl::IsChecked() const {
    auto* button = qobject_cast<QAbstractButton*>(widget_);
    return button && button->isChecked();
}

void QtControl::SetChecked(bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
        button->setCheckable(true);
        button->setChecked(checked);
    }
}

void QtControl::AddItem(const std::string& item) {
    quiet_ = true;
    if (auto* list = qobject_cast<QListWidget*>(widget_)) list->addItem(ToQt(item));
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        const QString edit = combo->isEditable() ? combo->currentText() : QString();
        combo->addItem(ToQt(item));
        if (!combo->isEditable()) FitComboText(combo, ToQt(item));
        // A combo box with nothing chosen stays so; the first added item is not a choice.
        if (combo->count() == 1) {
            combo->setCurrentIndex(-1);
            if (combo->isEditable()) combo->setEditText(edit);
        }
    }
    quiet_ = false;
}

void QtControl::ClearItems() {
    quiet_ = true;
    if (auto* list = qobject_cast<QListWidget*>(widget_)) list->clear();
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) combo->clear();
    quiet_ = false;
}

int QtControl::ItemCount() const {
    if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->count();
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) return combo->count();
    return 0;
}

int QtControl::Selection() const {
    if (auto* list = qobject_cast<QListWidget*>(widget_)) return list->currentRow();
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) return combo->currentIndex();
    return -1;
}

void QtControl::SetSelection(int index) {
    quiet_ = true;
    if (auto* list = qobject_cast<QListWidget*>(widget_)) list->setCurrentRow(index < list->count() ? index : -1);
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) combo->setCurrentIndex(index < combo->count() ? index : -1);
    quiet_ = false;
}

void QtControl::SetRange(int min, int max, bool) {
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) slider->setRange(min, max);
    if (auto* bar = qobject_cast<QProgressBar*>(widget_)) bar->setRange(min, max);
}

void QtControl::SetPosition(int position) {
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) {
        const QSignalBlocker block(slider);
        slider->setValue(position);
        slider->setSliderPosition(slider->value());
    }
    if (auto* bar = qobject_cast<QProgressBar*>(widget_)) bar->setValue(position);
}

int QtControl::Position() const {
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) return slider->sliderPosition();
    if (auto* bar = qobject_cast<QProgressBar*>(widget_)) return bar->value();
    return 0;
}

void QtControl::SetPageSize(int page) {
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) slider->setPageStep(page);
}

}  // namespace platform::qt
