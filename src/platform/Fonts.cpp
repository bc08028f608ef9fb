#include "platform/Fonts.h"

namespace platform {

namespace {
FontService* g_fonts = nullptr;
}

void SetFontService(FontService* service) { g_fonts = service; }

std::vector<std::string> FontFamilies() {
    if (!g_fonts) return {};
    return g_fonts->Families();
}

std::unique_ptr<raster::Font> MakeFont(const FontSpec& wanted) {
    if (!g_fonts) return nullptr;
    return g_fonts->Make(wanted);
}

TextSize MeasureText(const raster::Font& font, const std::string& text) {
    if (!g_fonts) return {};
    return g_fonts->Measure(font, text);
}

void DrawText(raster::DrawingContext& dc, int x, int y, const std::string& text) {
    const raster::Font* font = dc.CurrentFont();
    const raster::Bitmap* bitmap = dc.SelectedBitmap();
    if (!g_fonts || !font || !bitmap) return;
    g_fonts->Draw(dc, *font, x, y, text, {0, 0, bitmap->Width(), bitmap->Height()}, nullptr);
}

void DrawTextClipped(raster::DrawingContext& dc, int x, int y, const std::string& text, const raster::Rect& clip,
                     raster::Colour background) {
    const raster::Font* font = dc.CurrentFont();
    if (!g_fonts || !font || !dc.SelectedBitmap()) return;
    g_fonts->Draw(dc, *font, x, y, text, clip, &background);
}

void DrawTextInRect(raster::DrawingContext& dc, const raster::Rect& rect, const std::string& text, TextAlign align,
                    raster::Colour background) {
    raster::FillRect(dc, rect, background);
    const raster::Font* font = dc.CurrentFont();
    if (!g_fonts || !font || !dc.SelectedBitmap()) return;
    TextSize size = g_fonts->Measure(*font, text);
    int x = rect.left;
    if (align == TextAlign::Centre) x = rect.left + (rect.Width() - size.width) / 2;
    if (align == TextAlign::Right) x = rect.right - size.width;
    int y = rect.top + (rect.Height() - size.height) / 2;
    g_fonts->Draw(dc, *font, x, y, text, rect, nullptr);
}

}  // namespace platform
