#include "shell/AboutBox.h"

#include <cstdio>
#include <cstring>

#include "panels/DialogBuilder.h"
#include "platform/Fonts.h"
#include "platform/Window.h"
#include "shell/MainFrame.h"

namespace {

constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int kInfoFieldId = 2000;
constexpr int kCloseCommand = 2004;
constexpr raster::Colour kWhite = 0xFFFFFF;

class AboutHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        switch (message.kind) {
            case platform::MessageKind::InitDialog: Init(window); return 1;
            case platform::MessageKind::Paint: Paint(window); return 1;
            case platform::MessageKind::Command:
                if (message.id == 1 || message.id == kCloseCommand) window.EndDialog(message.id);
                return 1;
            case platform::MessageKind::Close: window.EndDialog(1); return 1;
            default: return 0;
        }
    }

private:
    static void Init(platform::Window& window) {
        PlaceBuiltDialog(window);
        window.SetBackground(kWhite);
        platform::Control* field =
            AddControl(platform::ControlKind::MultiLineEdit, kInfoFieldId, -1, 40, DialogBuildState.width,
                       DialogBuildState.height - 63, platform::kStyleReadOnly | platform::kStyleVerticalScroll,
                       AboutInformationText());
        // Static and read-only fields ask for their colours: white like the box.
        if (field) field->SetColours(0x000000, kWhite);
    }

    static void Paint(platform::Window& window) {
        raster::DrawingContext& dc = window.GetDC();
        raster::FillRect(dc, window.ClientRect(), kWhite);
        platform::FontSpec wanted;
        wanted.height = 18;
        wanted.weight = 700;
        auto font = platform::MakeFont(wanted);
        if (!font) return;
        const raster::Font* previous = dc.CurrentFont();
        dc.SetFont(font.get());
        dc.SetTextColour(0x000000);
        platform::DrawTextInRect(dc, {42, 19, DialogBuildState.width, 41}, std::string("Pixelwright ") + kVersionText,
                                 platform::TextAlign::Left, kWhite);
        dc.SetFont(previous);
    }
};

}  // namespace

std::uint32_t BuildDateNumber(const char* dateText) {
    char month[16] = {};
    int day = 0;
    int year = 0;
    std::sscanf(dateText, "%15s %d %d", month, &day, &year);
    for (int m = 0; m < 12; ++m) {
        if (std::strncmp(month, kMonths[m], 3) == 0) {
            return static_cast<std::uint32_t>(day + ((m + 1) + (year - 2000) * 100) * 100);
        }
    }
    return static_cast<std::uint32_t>(day + (year - 2000) * 10000);
}

std::uint32_t BuildTimeNumber(const char* timeText) {
    int hour = 0;
    int minute = 0;
    int second = 0;
    std::sscanf(timeText, "%d:%d:%d", &hour, &minute, &second);
    return static_cast<std::uint32_t>(hour * 100 + minute);
}

std::string BuildText(const char* dateText, const char* timeText) {
    char text[64];
    std::snprintf(text, sizeof text, ".0%u.%04u", BuildDateNumber(dateText), BuildTimeNumber(timeText));
    return text;
}

std::string ThisBuildText() { return BuildText(__DATE__, __TIME__); }

std::string AboutInformationText() {
    std::string text;
    text += "Pixelwright paint and photo retouching program.\r\nCopyright (C) Tessmark. All rights reserved.";
    text += "\r\n\r\nThe newest version is available from the Tessmark web site.";
    text += "\r\n\r\nThis software is based in part on the work of the Independent JPEG Group.";
    text += "\r\n\r\nThis software includes the libpng reference library and the zlib compression library.";
    text += "\r\n\r\nThis software includes the VisiBone colour palette by VisiBone.";
    text += "\r\n\r\nBuild ";
    text += kVersionText;
    text += ThisBuildText();
    return text;
}

void ShowAboutBox() {
    static AboutHandler handler;
    const int width = platform::ScreenWidth() - 18;
    const int height = platform::ScreenHeight() - ShellState.CommandBarHeight - ShellState.FrameTop - 20;
    RunBuiltDialog("About Pixelwright", width, height, kTemplateAbout, &handler);
}
