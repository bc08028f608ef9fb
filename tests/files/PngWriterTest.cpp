#include <csetjmp>
#include <cstdio>

#include <png.h>

#include "files/PngWriter.h"
#include "support/WriterFixtures.h"

using namespace writer_test;

namespace {

// The file as libpng reads it: the header values and the rows, top first, as stored.
struct PngFile {
    bool ok = false;
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    std::vector<std::vector<std::uint8_t>> rows;
};

bool ReadInto(std::FILE* file, png_structp png, png_infop info, PngFile* out) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_get_IHDR(png, info, &out->width, &out->height, &out->bitDepth, &out->colourType, &out->interlace, nullptr,
                 nullptr);
    out->rows.assign(out->height, std::vector<std::uint8_t>(png_get_rowbytes(png, info)));
    for (auto& row : out->rows) png_read_row(png, row.data(), nullptr);
    png_read_end(png, nullptr);
    return true;
}

PngFile ReadPng(const std::string& path) {
    PngFile result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return result;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    result.ok = ReadInto(file, png, info, &result);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(file);
    return result;
}

// The chunk types of the file in order.
std::vector<std::string> Chunks(const std::vector<std::uint8_t>& file) {
    std::vector<std::string> types;
    for (std::size_t at = 8; at + 8 <= file.size();) {
        const std::size_t length = (file[at] << 24) | (file[at + 1] << 16) | (file[at + 2] << 8) | file[at + 3];
        types.emplace_back(file.begin() + at + 4, file.begin() + at + 8);
        at += 12 + length;
    }
    return types;
}

TEST(PngWriter, OnePixelHasTheFixedHeaderAndNoOtherChunks) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Plain(1, 1, 255, 0, 0);  // pure blue
    ASSERT_EQ(WritePng(image.get(), folder / "one.png"), 1);
    const PngFile file = ReadPng(folder / "one.png");
    ASSERT_TRUE(file.ok);
    EXPECT_EQ(file.width, 1u);
    EXPECT_EQ(file.height, 1u);
    EXPECT_EQ(file.bitDepth, 8);
    EXPECT_EQ(file.colourType, PNG_COLOR_TYPE_RGB);
    EXPECT_EQ(file.interlace, PNG_INTERLACE_NONE);
    EXPECT_EQ(file.rows[0], (std::vector<std::uint8_t>{0, 0, 255}));
    EXPECT_EQ(Chunks(ReadFile(folder / "one.png")), (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(PngWriter, EveryPixelComesBackTopRowFirstAndTheDocumentIsUntouched) {
    InstalledMessages boxes;
    ScratchFolder folder;
    for (int width : {1, 4, 5, 31}) {
        auto image = Pattern(width, 7);
        const std::vector<std::uint8_t> before = BytesOf(*image);
        ASSERT_EQ(WritePng(image.get(), folder / "p.png"), 1);
        EXPECT_EQ(BytesOf(*image), before);
        const PngFile file = ReadPng(folder / "p.png");
        ASSERT_TRUE(file.ok);
        ASSERT_EQ(file.rows.size(), 7u);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* pixel = image->Row(y) + 3 * x;
                EXPECT_EQ(file.rows[y][3 * x], pixel[2]) << x << "," << y;
                EXPECT_EQ(file.rows[y][3 * x + 1], pixel[1]);
                EXPECT_EQ(file.rows[y][3 * x + 2], pixel[0]);
            }
        }
    }
}

TEST(PngWriter, AShortWriteStopsWithTheErrorBoxAndTheDocumentUntouched) {
    InstalledMessages boxes;
    auto image = Noise(300, 200);  // far more than the file's buffer holds
    const std::vector<std::uint8_t> before = BytesOf(*image);
    EXPECT_EQ(WritePng(image.get(), "/dev/full"), 0);
    EXPECT_EQ(BytesOf(*image), before);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Can't write file \"/dev/full\": the disk is full.");
    EXPECT_EQ(boxes.shown[0].caption, "Error");
    EXPECT_EQ(boxes.shown[0].icon, platform::MessageIcon::Stop);
}

TEST(PngWriter, AWriteThatFailsHalfWayKeepsTheOldFile) {
    InstalledMessages boxes;
    ScratchFolder folder;
    const std::string path = folder / "kept.png";
    auto old = Plain(2, 2, 1, 2, 3);
    ASSERT_EQ(WritePng(old.get(), path), 1);
    const std::vector<std::uint8_t> oldFile = ReadFile(path);
    auto image = Pattern(400, 300);
    {
        FileSizeLimit limit(1024);
        EXPECT_EQ(WritePng(image.get(), path), 0);
    }
    EXPECT_EQ(ReadFile(path), oldFile);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"kept.png"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Can't write file \"" + path + "\": file too large.");
}

TEST(PngWriter, MissingFolderShowsCantOpen) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Pattern(3, 3);
    EXPECT_EQ(WritePng(image.get(), folder / "absent/p.png"), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Can't open file \"" + (folder / "absent/p.png") + "\": there is no such folder.");
    EXPECT_EQ(CompressPng(folder / "absent/q.png", 1, 1, image->Bits(), 0), 0);
    EXPECT_EQ(boxes.shown.size(), 2u);
}

}  // namespace
