// Fonts on Qt: families from the font database, text measured with font metrics and drawn
// with a painter into the raster bitmap.
#pragma once

#include <QFont>

#include "platform/Fonts.h"

namespace platform::qt {

class QtFont : public raster::Font {
public:
    explicit QtFont(const QFont& f) : font(f) {}
    QFont font;
};

class QtFontService : public FontService {
public:
    std::vector<std::string> Families() override;
    std::unique_ptr<raster::Font> Make(const FontSpec& wanted) override;
    TextSize Measure(const raster::Font& font, const std::string& text) override;
    void Draw(raster::DrawingContext& dc, const raster::Font& font, int x, int y, const std::string& text,
              const raster::Rect& clip, const raster::Colour* background) override;
};

// The font the program's controls use: the handheld's small system font.
QFont SystemFont();

}  // namespace platform::qt
