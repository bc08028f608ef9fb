#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "platform/ImageDecoder.h"
#include "platform/MessageBox.h"
#include "support/FreshState.h"
#include "support/Messages.h"
#include "support/SampleFiles.h"

using namespace samples;
using platform::DecodeImageFile;
using platform::DecodeStatus;

namespace {

class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pw-decode-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void Save(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Fails any test that shows a message box.
class NoBoxes : public InstalledMessages {
public:
    NoBoxes() { failOnShow = true; }
};

std::unique_ptr<PixelBuffer> Document(int width, int height) {
    raster::BitmapInfo header;
    auto image = CreatePixelBuffer(width, height, 24, header, nullptr);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = image->Row(y);
        for (int i = 0; i < image->Stride(); ++i) row[i] = 0;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(6 * x);
            row[3 * x + 1] = static_cast<std::uint8_t>(255 - 6 * y);
            row[3 * x + 2] = static_cast<std::uint8_t>(100 + 3 * x - 2 * y);
        }
    }
    return image;
}

int WorstDifference(const PixelBuffer& a, const PixelBuffer& b) {
    int worst = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int i = 0; i < 3 * a.Width(); ++i) worst = std::max(worst, std::abs(a.Row(y)[i] - b.Row(y)[i]));
    }
    return worst;
}

TEST(DecodeFile, EveryWriterFileReadsBackAsWritten) {
    NoBoxes boxes;
    Folder folder;
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{4, 3}, std::pair{5, 2}, std::pair{40, 24}}) {
        auto document = Document(width, height);
        const std::string bmp = folder / "w.bmp", png = folder / "w.png", jpg = folder / "w.jpg";
        ASSERT_EQ(WriteBmp(document.get(), bmp), 1);
        ASSERT_EQ(WritePng(document.get(), png), 1);
        ASSERT_EQ(WriteJpeg(document.get(), jpg), 1);
        for (const std::string& lossless : {bmp, png}) {
            const auto decoded = DecodeImageFile(lossless, PaintSettings.BColor);
            ASSERT_EQ(decoded.status, DecodeStatus::Ok) << decoded.text;
            ASSERT_EQ(decoded.image->Width(), width);
            ASSERT_EQ(decoded.image->Height(), height);
            EXPECT_EQ(WorstDifference(*decoded.image, *document), 0) << lossless << " " << width;
        }
        const auto decoded = DecodeImageFile(jpg, PaintSettings.BColor);
        ASSERT_EQ(decoded.status, DecodeStatus::Ok) << decoded.text;
        ASSERT_EQ(decoded.image->Width(), width);
        EXPECT_LE(WorstDifference(*decoded.image, *document), 24) << width;
    }
}

TEST(DecodeFile, PureColoursKeepTheirPlace) {
    NoBoxes boxes;
    Folder folder;
    raster::BitmapInfo header;
    auto red = CreatePixelBuffer(8, 8, 24, header, nullptr);
    for (std::size_t i = 0; i < red->ByteSize(); i += 3) {
        if (i + 2 < red->ByteSize()) red->Bits()[i] = 0, red->Bits()[i + 1] = 0, red->Bits()[i + 2] = 255;
    }
    ASSERT_EQ(WriteJpeg(red.get(), folder / "red.jpg"), 1);
    const auto decoded = DecodeImageFile(folder / "red.jpg", PaintSettings.BColor);
    ASSERT_TRUE(decoded.image);
    const std::uint8_t* pixel = decoded.image->Row(3) + 9;
    EXPECT_GE(pixel[2], 240);
    EXPECT_LE(pixel[0], 15);
}

TEST(DecodeFile, MissingFilesAndFoldersCannotBeOpened) {
    Folder folder;
    const auto missing = DecodeImageFile(folder / "none.png", PaintSettings.BColor);
    EXPECT_EQ(missing.status, DecodeStatus::CannotOpen);
    EXPECT_EQ(missing.text, "Cannot open \"" + (folder / "none.png") + "\": there is no such file.");
    EXPECT_EQ(missing.caption, "Error");
    const auto inMissingFolder = DecodeImageFile(folder / "gone/none.png", PaintSettings.BColor);
    EXPECT_EQ(inMissingFolder.text, "Cannot open \"" + (folder / "gone/none.png") + "\": there is no such file.");
    const auto aFolder = DecodeImageFile(folder.Path(), PaintSettings.BColor);
    EXPECT_EQ(aFolder.status, DecodeStatus::CannotOpen);
    EXPECT_EQ(aFolder.text, "Cannot open \"" + folder.Path() + "\": it is a folder, not a file.");

    Save(folder / "note.png", Bytes{'h', 'e', 'l', 'l', 'o'});
    const auto note = DecodeImageFile(folder / "note.png", PaintSettings.BColor);
    EXPECT_EQ(note.status, DecodeStatus::NotImage);
    EXPECT_EQ(note.text, "\"" + (folder / "note.png") + "\" is not an image, or the file is damaged.");

    Save(folder / "picture.2bp", MakeTwoBpp(FourColourPicture(3, 2)));
    const auto twoBit = DecodeImageFile(folder / "picture.2bp", PaintSettings.BColor);
    ASSERT_EQ(twoBit.status, DecodeStatus::Ok);
    EXPECT_EQ(twoBit.image->Width(), 3);
}

using DecodeResource = FreshState;

TEST_F(DecodeResource, ResourcesAreFoundByNumberInTheResourcesFolder) {
    Folder folder;
    platform::SetResourceFolder(folder.Path());
    EXPECT_EQ(platform::ResourceFolder(), folder.Path());
    Save(folder / "129.gif", MakeGif({FourColourPicture(177, 137)}));
    Save(folder / "130.png", MakePng(GradientPicture(70, 18, false), PngKind::Rgb8));
    Save(folder / "131.jpg", MakeJpeg(GradientPicture(256, 16, false), JpegKind::Baseline));

    const auto brushes = platform::DecodeImageResource(129, PaintSettings.BColor);
    ASSERT_EQ(brushes.status, DecodeStatus::Ok) << brushes.text;
    EXPECT_EQ(brushes.image->Width(), 177);
    EXPECT_EQ(brushes.image->Height(), 137);
    const auto icons = platform::DecodeImageResource(130, PaintSettings.BColor);
    ASSERT_EQ(icons.status, DecodeStatus::Ok);
    EXPECT_EQ(icons.image->Width(), 70);
    const auto strip = platform::DecodeImageResource(131, PaintSettings.BColor);
    ASSERT_EQ(strip.status, DecodeStatus::Ok);
    EXPECT_EQ(strip.image->Height(), 16);
    EXPECT_EQ(platform::DecodeImageResource(136, PaintSettings.BColor).status, DecodeStatus::CannotOpen);
}

TEST_F(DecodeResource, WithoutAnOverrideTheBuildTreesDataFolderServes) {
    // The test program sits in the build tree, whose data folder is beside it.
    std::error_code error;
    EXPECT_EQ(std::filesystem::weakly_canonical(platform::ResourceFolder(), error),
              std::filesystem::weakly_canonical(std::string(PW_DATA_DIR) + "/resources", error));
}

}  // namespace
