// The program's icon: the files the desktop entry names hold what the generator draws today,
// at every size, with transparent corners and the canvas, strokes and brush where they belong.
#include <gtest/gtest.h>

#include <QImage>
#include <string>

#include "panels/Artwork.h"

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

std::string IconFile(int size) {
    const std::string side = std::to_string(size);
    return std::string(PW_DATA_DIR) + "/icons/hicolor/" + side + "x" + side + "/apps/pixelwright.png";
}

QRgb Drawn(const std::vector<std::uint8_t>& rgba, int size, double fx, double fy) {
    const int x = static_cast<int>(fx * size);
    const int y = static_cast<int>(fy * size);
    const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
    return qRgba(p[0], p[1], p[2], p[3]);
}

TEST(ProgramIcon, EverySizeIsShippedAsTheGeneratorDrawsIt) {
    for (int size : kSizes) {
        const QImage file(QString::fromStdString(IconFile(size)));
        ASSERT_FALSE(file.isNull()) << IconFile(size);
        EXPECT_TRUE(file.hasAlphaChannel()) << size;
        ASSERT_EQ(file.size(), QSize(size, size));
        const QImage shipped = file.convertToFormat(QImage::Format_RGBA8888);
        const std::vector<std::uint8_t> drawn = DrawProgramIcon(size);
        for (int y = 0; y < size; ++y) {
            ASSERT_TRUE(std::equal(drawn.begin() + y * size * 4, drawn.begin() + (y + 1) * size * 4,
                                   shipped.constScanLine(y)))
                << size << "x" << size << " differs in row " << y << ": draw the icons again (target \"icons\")";
        }
    }
}

TEST(ProgramIcon, ATileWithACanvasThreeStrokesAndABrush) {
    const int size = 256;
    const std::vector<std::uint8_t> icon = DrawProgramIcon(size);
    // Transparent outside the rounded tile, opaque inside it.
    EXPECT_EQ(qAlpha(Drawn(icon, size, 0.0, 0.0)), 0);
    EXPECT_EQ(qAlpha(Drawn(icon, size, 0.97, 0.03)), 0);
    EXPECT_EQ(qAlpha(Drawn(icon, size, 0.10, 0.50)), 255);
    // The white canvas, and on it red, green and blue strokes one above the other.
    const QRgb canvas = Drawn(icon, size, 0.75, 0.22);
    EXPECT_GT(qMin(qRed(canvas), qMin(qGreen(canvas), qBlue(canvas))), 235);
    const QRgb red = Drawn(icon, size, 0.40, 0.32);
    const QRgb green = Drawn(icon, size, 0.35, 0.47);
    const QRgb blue = Drawn(icon, size, 0.30, 0.62);
    EXPECT_GT(qRed(red), 200);
    EXPECT_LT(qGreen(red), 80);
    EXPECT_GT(qGreen(green), 140);
    EXPECT_LT(qRed(green), 80);
    EXPECT_GT(qBlue(blue), 180);
    EXPECT_LT(qRed(blue), 80);
    // The brush's wooden handle near the lower right corner.
    const QRgb handle = Drawn(icon, size, 0.80, 0.79);
    EXPECT_GT(qRed(handle), qBlue(handle) + 80);
    // Edges blend: some pixel of the tile's rim is neither clear nor solid.
    bool blended = false;
    for (int x = 0; x < size && !blended; ++x) {
        const int a = qAlpha(Drawn(icon, size, (x + 0.5) / size, 0.05));
        blended = a > 0 && a < 255;
    }
    EXPECT_TRUE(blended);
    EXPECT_TRUE(DrawProgramIcon(0).empty());
}

TEST(ProgramIcon, DialogsShowItOverWhite) {
    const std::unique_ptr<raster::Bitmap> icon = MakeProgramIcon();
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(icon->Width(), 32);
    ASSERT_EQ(icon->BitsPerPixel(), 24);
    const std::uint8_t* corner = icon->Row(0);
    EXPECT_EQ(corner[0] + corner[1] + corner[2], 3 * 255);
    const std::uint8_t* canvas = icon->Row(7) + 3 * 24;  // the canvas, right of the red stroke
    EXPECT_GT(canvas[0], 230);
}

}  // namespace
