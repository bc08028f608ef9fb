// Dialogs built in code: a template says only whether the dialog has a caption and an icon;
// its controls are created by its handler while it handles InitDialog. Controls are the
// handheld's standard and common controls; their notifications come to the dialog's
// handler as Command, HScroll (trackbars) and UpDownDelta messages.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Window.h"
#include "platform/raster/Bitmap.h"

namespace platform {

// The numbers are the ones dialog handlers pass.
enum class ControlKind : int {
    Label = 0,
    PushButton = 1,
    Edit = 2,
    NumberEdit = 3,
    MultiLineEdit = 4,
    ListBox = 5,
    RadioButton = 6,
    UpDown = 8,
    DropDownCombo = 9,
    DropDownList = 10,
    CheckBox = 12,
    Trackbar = 13,
    ProgressBar = 14,
    FramedLabel = 15,
};

// Extra style bits a caller may add to a control (the handheld's values).
constexpr std::uint32_t kStyleDisabled = 0x08000000;
constexpr std::uint32_t kStyleVerticalScroll = 0x00200000;
constexpr std::uint32_t kStyleBorder = 0x00800000;
constexpr std::uint32_t kStyleCentre = 0x00000001;     // labels and edits: centred text
constexpr std::uint32_t kStyleRight = 0x00000002;      // labels and edits: right-aligned text
constexpr std::uint32_t kStyleReadOnly = 0x00000800;   // edits
constexpr std::uint32_t kStyleDefaultButton = 0x00000001;  // push buttons: Enter presses it

class Control {
public:
    virtual ~Control() = default;

    virtual int Id() const = 0;
    virtual ControlKind Kind() const = 0;

    virtual std::string Text() const = 0;
    // Setting the text of an edit sends the Changed notification, as typing does.
    virtual void SetText(const std::string& text) = 0;

    virtual void Move(int x, int y, int width, int height) = 0;
    virtual Rect Geometry() const = 0;  // in the dialog's client coordinates
    virtual void Show(bool visible) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual bool IsEnabled() const = 0;
    virtual void SetFocus() = 0;
    virtual bool HasFocus() const = 0;
    virtual void BringToTop() = 0;

    virtual void SetFont(const raster::Font* font) = 0;
    virtual void SetColours(raster::Colour text, raster::Colour background) = 0;

    // Check boxes and radio buttons.
    virtual bool IsChecked() const = 0;
    virtual void SetChecked(bool checked) = 0;

    // List boxes and combo boxes; -1 = no selection.
    virtual void AddItem(const std::string& item) = 0;
    virtual void ClearItems() = 0;
    virtual int ItemCount() const = 0;
    virtual int Selection() const = 0;
    virtual void SetSelection(int index) = 0;

    // Trackbars and progress bars (range and position), trackbars also the page step.
    virtual void SetRange(int min, int max, bool redraw) = 0;
    virtual void SetPosition(int position) = 0;
    virtual int Position() const = 0;
    virtual void SetPageSize(int page) = 0;
};

// What a dialog starts as: caption or none, and the program's icon at a place in its client
// area (client pixels) or none. The size comes from the placement.
struct DialogTemplate {
    int id = 0;
    bool caption = false;
    std::string captionText;
    const raster::Bitmap* icon = nullptr;
    Rect iconRect{};
};

// Shorthands for the installed window system.
int RunModalDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler);
Window* CreateModelessDialog(const DialogTemplate& dialogTemplate, WindowHandler* handler);

}  // namespace platform
