#include <unistd.h>

#include "files/BmpWriter.h"
#include "support/WriterFixtures.h"

using namespace writer_test;

namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | (bytes[at + 1] << 8) | (bytes[at + 2] << 16) | (static_cast<std::uint32_t>(bytes[at + 3]) << 24);
}

TEST(BmpWriter, OnePixelGivesTheFiftyEightByteFile) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Plain(1, 1, 0x10, 0x20, 0x30);
    image->Bits()[3] = 0x5C;  // the filler byte goes to the file as the buffer holds it
    ASSERT_EQ(WriteBmp(image.get(), folder / "one.bmp"), 1);
    const std::vector<std::uint8_t> expected = {
        'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                    // file header
        40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0,     // size, width, height, planes, bits, rgb
        4, 0, 0, 0, 0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // image size, 3780 x 2, colours
        0x10, 0x20, 0x30, 0x5C};
    EXPECT_EQ(ReadFile(folder / "one.bmp"), expected);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(BmpWriter, RowsAreTheBufferByteForByteWithTheirPadding) {
    InstalledMessages boxes;
    ScratchFolder folder;
    for (const auto& [width, stride] : {std::pair{4, 12}, std::pair{5, 16}, std::pair{3, 12}}) {
        auto image = Pattern(width, 3);
        const std::string path = folder / ("w" + std::to_string(width) + ".bmp");
        ASSERT_EQ(WriteBmp(image.get(), path), 1);
        const std::vector<std::uint8_t> file = ReadFile(path);
        ASSERT_EQ(file.size(), 54u + 3u * stride) << width;
        EXPECT_EQ(Le32(file, 2), file.size());
        EXPECT_EQ(Le32(file, 18), static_cast<std::uint32_t>(width));
        EXPECT_EQ(Le32(file, 22), 3u);
        EXPECT_EQ(Le32(file, 34), 3u * stride);
        // Bottom row first: the first stored row is the picture's last.
        EXPECT_TRUE(std::equal(file.begin() + 54, file.begin() + 54 + stride, image->Row(2)));
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin() + 54, file.end()), BytesOf(*image));
    }
}

TEST(BmpWriter, MissingFolderShowsTheErrorBoxAndMakesNoFile) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Pattern(2, 2);
    const std::string path = folder / "absent/picture.bmp";
    EXPECT_EQ(WriteBmp(image.get(), path), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Can't open file \"" + path + "\": there is no such folder.");
    EXPECT_EQ(boxes.shown[0].caption, "Error");
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageIcon::Stop);
    EXPECT_TRUE(folder.Names().empty());
}

TEST(BmpWriter, FullDeviceIsReportedAsAFailedWrite) {
    InstalledMessages boxes;
    auto image = Pattern(64, 64);
    const std::vector<std::uint8_t> before = BytesOf(*image);
    EXPECT_EQ(WriteBmp(image.get(), "/dev/full"), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Can't write file \"/dev/full\": the disk is full.");
    EXPECT_EQ(boxes.shown[0].caption, "Error");
    EXPECT_EQ(BytesOf(*image), before);
}

TEST(BmpWriter, AWriteThatFailsHalfWayKeepsTheOldFile) {
    InstalledMessages boxes;
    ScratchFolder folder;
    const std::string path = folder / "kept.bmp";
    WriteFile(path, "the old picture");
    auto image = Pattern(100, 100);
    {
        FileSizeLimit limit(4096);
        EXPECT_EQ(WriteBmp(image.get(), path), 0);
    }
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text.rfind("Can't write file \"" + path + "\": ", 0), 0u) << boxes.shown[0].text;
    const std::vector<std::uint8_t> kept = ReadFile(path);
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the old picture");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"kept.bmp"});  // no temporary file left behind
}

TEST(BmpWriter, ReplacingAFileKeepsItsModeAndLinks) {
    InstalledMessages boxes;
    ScratchFolder folder;
    const std::string real = folder / "real.bmp";
    const std::string link = folder / "link.bmp";
    WriteFile(real, "old");
    chmod(real.c_str(), 0640);
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    auto image = Pattern(3, 2);
    ASSERT_EQ(WriteBmp(image.get(), link), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(real).size(), 54u + 2u * 12u);
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    // A new file gets the usual mode, not the private one of a temporary file.
    const mode_t mask = umask(022);
    ASSERT_EQ(WriteBmp(image.get(), folder / "new.bmp"), 1);
    umask(mask);
    ASSERT_EQ(stat((folder / "new.bmp").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0644u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(BmpWriter, RefusesAMissingOrEightBitBuffer) {
    InstalledMessages boxes;
    ScratchFolder folder;
    raster::BitmapInfo header;
    auto mask = CreatePixelBuffer(4, 4, 8, header, nullptr);
    EXPECT_EQ(WriteBmp(nullptr, folder / "a.bmp"), 0);
    EXPECT_EQ(WriteBmp(mask.get(), folder / "b.bmp"), 0);
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
