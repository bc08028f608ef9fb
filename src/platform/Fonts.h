// Fonts: the families installed, making a font, measuring text and drawing it into a
// raster drawing context in the context's text colour. The Qt layer installs the real
// service; without one no font can be made and text measures nothing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/raster/Bitmap.h"
#include "platform/raster/Draw.h"

namespace raster {

// A font made by the font service; drawing contexts point at one.
class Font {
public:
    virtual ~Font() = default;
};

}  // namespace raster

namespace platform {

struct FontSpec {
    int height = 12;  // cell height in pixels; negative: character height; 0: the platform's choice
    int weight = 400;  // 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool antialiased = true;
    std::string face;  // empty: the sans-serif family
};

struct TextSize {
    int width = 0;
    int height = 0;
};

enum class TextAlign { Left, Centre, Right };

class FontService {
public:
    virtual ~FontService() = default;
    virtual std::vector<std::string> Families() = 0;
    // Null when the font cannot be made.
    virtual std::unique_ptr<raster::Font> Make(const FontSpec& wanted) = 0;
    // The size of one line of text ("\n" starts a new line).
    virtual TextSize Measure(const raster::Font& font, const std::string& text) = 0;
    // Draws text with its top-left at (x, y) in the context's text colour, clipped to clip.
    // With background set the text's cell is filled first with that colour.
    virtual void Draw(raster::DrawingContext& dc, const raster::Font& font, int x, int y, const std::string& text,
                      const raster::Rect& clip, const raster::Colour* background) = 0;
};

void SetFontService(FontService* service);

std::vector<std::string> FontFamilies();
std::unique_ptr<raster::Font> MakeFont(const FontSpec& wanted);
TextSize MeasureText(const raster::Font& font, const std::string& text);
// The context's font (nothing happens without one), text colour; transparent background.
void DrawText(raster::DrawingContext& dc, int x, int y, const std::string& text);
// The same, clipped to clip and with each line's cell filled first with background.
void DrawTextClipped(raster::DrawingContext& dc, int x, int y, const std::string& text, const raster::Rect& clip,
                     raster::Colour background);
// Text in a rectangle, vertically centred, aligned as asked, on the background colour.
void DrawTextInRect(raster::DrawingContext& dc, const raster::Rect& rect, const std::string& text, TextAlign align,
                    raster::Colour background);

}  // namespace platform
