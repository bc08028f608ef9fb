// The dialog controls on Qt widgets. Each reports to its dialog's handler the way the
// handheld's controls do: Command with a notification for buttons, edits, lists and
// combo boxes, HScroll for trackbars, UpDownDelta for up-down arrows. Changes the program
// makes itself are reported only where the handheld reports them too (edit text).
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>

#include "platform/Dialog.h"

namespace platform::qt {

class QtWindow;

class QtControl : public Control {
public:
    static std::unique_ptr<QtControl> Create(QtWindow& window, QWidget* parent, ControlKind kind, int id,
                                             const QRect& geometry, std::uint32_t style, const std::string& text,
                                             QtControl* previous);
    ~QtControl() override = default;

    int Id() const override { return id_; }
    ControlKind Kind() const override { return kind_; }
    std::string Text() const override;
    void SetText(const std::string& text) override;
    void Move(int x, int y, int width, int height) override;
    Rect Geometry() const override;
    void Show(bool visible) override;
    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override;
    void SetFocus() override;
    bool HasFocus() const override;
    void BringToTop() override;
    void SetFont(const raster::Font* font) override;
    void SetColours(raster::Colour text, raster::Colour background) override;
    bool IsChecked() const override;
    void SetChecked(bool checked) override;
    void AddItem(const std::string& item) override;
    void ClearItems() override;
    int ItemCount() const override;
    int Selection() const override;
    void SetSelection(int index) override;
    void SetRange(int min, int max, bool redraw) override;
    void SetPosition(int position) override;
    int Position() const override;
    void SetPageSize(int page) override;

    QWidget* Widget() const { return widget_; }
    // Stops every notification (the dialog is going away).
    void Disconnect();

private:
    QtControl(QtWindow& window, ControlKind kind, int id) : window_(window), kind_(kind), id_(id) {}
    void Build(QWidget* parent, const QRect& geometry, std::uint32_t style, const std::string& text,
               QtControl* previous);
    void Notify(platform::Notify code);
    void SendScroll(int action);
    void SendDelta(int delta);

    QtWindow& window_;
    ControlKind kind_;
    int id_;
    QPointer<QWidget> widget_;
    bool quiet_ = false;  // set while the program itself changes a list or slider
    bool connected_ = true;
};

}  // namespace platform::qt
