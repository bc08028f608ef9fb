#include <QFile>
#include <QTemporaryDir>

#include "support/QtFixture.h"
#include "platform/Fonts.h"
#include "platform/qt/QtServices.h"

TEST(QtSettings, NumbersAndTextsSurviveInTheFile) {
    TestApplication();
    QTemporaryDir dir;
    const QString file = dir.filePath("Pixelwright.conf");
    {
        platform::qt::QtSettingsStore store(file);
        EXPECT_TRUE(store.WriteNumber("FColor", 0x00FF8040u));
        EXPECT_TRUE(store.WriteNumber("Tool", static_cast<std::uint32_t>(-1)));
        EXPECT_TRUE(store.WriteText("File1", "/home/user/Bilder/beach, sunset.jpg"));
    }
    platform::qt::QtSettingsStore store(file);
    std::uint32_t number = 7;
    EXPECT_TRUE(store.ReadNumber("FColor", number));
    EXPECT_EQ(number, 0x00FF8040u);
    EXPECT_TRUE(store.ReadNumber("Tool", number));
    EXPECT_EQ(number, 0xFFFFFFFFu);
    std::string text;
    EXPECT_TRUE(store.ReadText("File1", text));
    EXPECT_EQ(text, "/home/user/Bilder/beach, sunset.jpg");
    // Missing values and texts that are no numbers leave the output alone.
    number = 7;
    EXPECT_FALSE(store.ReadNumber("Brush", number));
    EXPECT_FALSE(store.ReadNumber("File1", number));
    EXPECT_EQ(number, 7u);
    text = "kept";
    EXPECT_FALSE(store.ReadText("File2", text));
    EXPECT_EQ(text, "kept");
}

TEST(QtSettings, ABrokenFileReadsAsEmptyAndIsNotOverwritten) {
    TestApplication();
    QTemporaryDir dir;
    const QString file = dir.filePath("Pixelwright.conf");
    QFile broken(file);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    const QByteArray junk("[General\nFColor=\x01\x02\xff\n=\n[[[");
    broken.write(junk);
    broken.close();
    platform::qt::QtSettingsStore store(file);
    EXPECT_TRUE(store.IsBroken());
    std::uint32_t number = 3;
    EXPECT_FALSE(store.ReadNumber("FColor", number));
    EXPECT_EQ(number, 3u);
    EXPECT_FALSE(store.WriteNumber("Size", 9));
    ASSERT_TRUE(broken.open(QIODevice::ReadOnly));
    EXPECT_EQ(broken.readAll(), junk);
}

TEST(QtSettings, SoundFilesAreTold) {
    EXPECT_TRUE(platform::qt::SettingsTextLooksSound(""));
    EXPECT_TRUE(platform::qt::SettingsTextLooksSound("[General]\nFColor=255\n; note\n\nFile1=/home/a b/c.png\n"));
    EXPECT_FALSE(platform::qt::SettingsTextLooksSound("[General\nFColor=1\n"));
    EXPECT_FALSE(platform::qt::SettingsTextLooksSound("[General]\n=5\n"));
    EXPECT_FALSE(platform::qt::SettingsTextLooksSound("[General]\njust words\n"));
    EXPECT_FALSE(platform::qt::SettingsTextLooksSound(QByteArray("Size=7\n\xff\xfe", 9)));
    EXPECT_FALSE(platform::qt::SettingsTextLooksSound(QByteArray("Size=\x01\n", 8)));
}

TEST(QtFileDialog, TypeListsBecomeNameFilters) {
    TestApplication();
    const auto types = platform::qt::ParseTypeList(kOpenTypeList);
    ASSERT_EQ(types.size(), 10u);
    EXPECT_EQ(types[0].description, "All Image Files");
    EXPECT_EQ(types[0].patterns.size(), 26);
    EXPECT_EQ(types[0].patterns.mid(0, 7), (QStringList{"*.2bp", "*.bmp", "*.gif", "*.jpg", "*.jpeg", "*.jpe", "*.png"}));
    EXPECT_EQ(platform::qt::NameFilterOf(types[7]), "TIFF Files (*.tif *.tiff *.TIF *.TIFF)");
    EXPECT_EQ(platform::qt::NameFilterOf(types[3]), "JPEG Files (*.jpg *.jpeg *.jpe *.JPG *.JPEG *.JPE)");
    EXPECT_EQ(platform::qt::NameFilterOf(types[1]), "Bitmap Files (*.bmp *.BMP)");
    EXPECT_EQ(types[5].patterns, (QStringList{"*.2bp", "*.2BP"}));
    // A description that names its patterns is shown as it is.
    platform::qt::FileType named;
    named.description = "PNG File (*.png)";
    named.patterns = QStringList{"*.png"};
    EXPECT_EQ(platform::qt::NameFilterOf(named), "PNG File (*.png)");
    EXPECT_TRUE(platform::qt::ParseTypeList("").empty());
    EXPECT_TRUE(platform::qt::ParseTypeList("Odd|").empty());
}

TEST_F(QtTest, FontsMeasureAndDrawIntoBitmaps) {
    platform::FontSpec wanted;
    wanted.height = 18;
    wanted.weight = 700;
    auto font = platform::MakeFont(wanted);
    ASSERT_NE(font, nullptr);
    const platform::TextSize size = platform::MeasureText(*font, "Pixelwright 1.0");
    EXPECT_GT(size.width, 60);
    EXPECT_GE(size.height, 18);
    const platform::TextSize two = platform::MeasureText(*font, "Pixel\r\nwright");
    EXPECT_EQ(two.height, 2 * platform::MeasureText(*font, "Pixel").height);
    EXPECT_FALSE(platform::FontFamilies().empty());

    raster::BitmapInfo info{};
    info.header.width = 120;
    info.header.height = 30;
    info.header.bitCount = 24;
    auto dc = raster::CreateMemoryContext(info);
    ASSERT_NE(dc, nullptr);
    raster::FillRect(*dc, {0, 0, 120, 30}, 0xFFFFFF);
    dc->SetFont(font.get());
    dc->SetTextColour(raster::MakeColour(255, 0, 0));
    platform::DrawTextInRect(*dc, {0, 0, 60, 30}, "WWWWWWWWWW", platform::TextAlign::Left, 0xFFFFFF);
    int red = 0;
    int outside = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 120; ++x) {
            const std::uint8_t* p = dc->SelectedBitmap()->Row(y) + 3 * x;
            const bool inked = p[2] > 200 && p[1] < 60 && p[0] < 60;
            if (inked && x < 60) ++red;
            if (p[0] != 255 && x >= 60) ++outside;
        }
    }
    EXPECT_GT(red, 40);
    // The text stops at the rectangle.
    EXPECT_EQ(outside, 0);
}
