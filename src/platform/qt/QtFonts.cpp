#include "platform/qt/QtFonts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "platform/qt/QtImage.h"

namespace platform::qt {

namespace {

QFont FontOf(const raster::Font& font) {
    if (auto* qtFont = dynamic_cast<const QtFont*>(&font)) return qtFont->font;
    return SystemFont();
}

// A negative height is the character height, which is Qt's pixel size; a positive one the
// whole cell, character and leading, so the pixel size is the largest whose line fits in it;
// 0 leaves the choice to us.
void SetHeight(QFont& font, int height) {
    constexpr int kDefaultPixelSize = 12;
    if (height <= 0) {
        font.setPixelSize(height == 0 ? kDefaultPixelSize : -height);
        return;
    }
    int size = height;
    font.setPixelSize(size);
    while (size > 1 && QFontMetrics(font).height() > height) font.setPixelSize(--size);
}

}  // namespace

QFont SystemFont() {
    QFont font("DejaVu Sans");
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

std::vector<std::string> QtFontService::Families() {
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families()) names.push_back(family.toStdString());
    return names;
}

std::unique_ptr<raster::Font> QtFontService::Make(const FontSpec& wanted) {
    QFont font;
    if (wanted.face.empty()) {
        font = QFont("DejaVu Sans");
        font.setStyleHint(QFont::SansSerif);
    } else {
        font = QFont(QString::fromStdString(wanted.face));
    }
    font.setWeight(static_cast<QFont::Weight>(std::clamp(wanted.weight <= 0 ? 400 : wanted.weight, 100, 900)));
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStyleStrategy(wanted.antialiased ? QFont::PreferAntialias : QFont::NoAntialias);
    SetHeight(font, wanted.height);
    return std::make_unique<QtFont>(font);
}

TextSize QtFontService::Measure(const raster::Font& font, const std::string& text) {
    const QFontMetrics metrics(FontOf(font));
    const QStringList lines = QString::fromStdString(text).remove('\r').split('\n');
    int width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    return {width, metrics.height() * static_cast<int>(lines.size())};
}

void QtFontService::Draw(raster::DrawingContext& dc, const raster::Font& font, int x, int y, const std::string& text,
                         const raster::Rect& clip, const raster::Colour* background) {
    raster::Bitmap* bitmap = dc.SelectedBitmap();
    if (!bitmap || bitmap->BitsPerPixel() != 24) return;
    const QRect area = QRect(clip.left, clip.top, clip.Width(), clip.Height())
                           .intersected(QRect(0, 0, bitmap->Width(), bitmap->Height()));
    if (area.isEmpty()) return;
    // Paint over a copy of the pixels beneath, so anti-aliased edges blend with them.
    QImage image = ToQImage(*bitmap, area);
    if (image.isNull()) return;
    {
        QPainter painter(&image);
        const QFont qfont = FontOf(font);
        painter.setFont(qfont);
        const QStringList lines = QString::fromStdString(text).remove('\r').split('\n');
        const QFontMetrics metrics(qfont);
        if (background) {
            const TextSize size = Measure(font, text);
            painter.fillRect(QRect(x - area.x(), y - area.y(), size.width, size.height), ToQColor(*background));
        }
        painter.setPen(ToQColor(dc.TextColour()));
        int lineTop = y - area.y();
        for (const QString& line : lines) {
            painter.drawText(x - area.x(), lineTop + metrics.ascent(), line);
            lineTop += metrics.height();
        }
    }
    CopyIntoBitmap(image, *bitmap, area.x(), area.y());
}

}  // namespace platform::qt
