#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "files/JpegWriter.h"
#include "support/WriterFixtures.h"

using namespace writer_test;

namespace {

// The file as libjpeg reads it: size, whether it is baseline, the luminance quantisation
// table, and the pixels top row first, red-green-blue.
struct JpegFile {
    bool ok = false;
    int width = 0;
    int height = 0;
    bool progressive = false;
    std::vector<int> lumaQuant;
    std::vector<std::uint8_t> rgb;
    int Channel(int x, int y, int c) const { return rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c]; }
};

struct Failure {
    jpeg_error_mgr library;
    std::jmp_buf back;
};

void Fail(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<Failure*>(cinfo->err)->back, 1); }

bool ReadInto(std::FILE* file, jpeg_decompress_struct* cinfo, Failure* failure, JpegFile* out) {
    cinfo->err = jpeg_std_error(&failure->library);
    failure->library.error_exit = Fail;
    if (setjmp(failure->back)) {
        jpeg_destroy_decompress(cinfo);
        return false;
    }
    jpeg_create_decompress(cinfo);
    jpeg_stdio_src(cinfo, file);
    jpeg_read_header(cinfo, TRUE);
    out->progressive = cinfo->progressive_mode;
    for (int i = 0; i < DCTSIZE2; ++i) out->lumaQuant.push_back(cinfo->quant_tbl_ptrs[0]->quantval[i]);
    cinfo->out_color_space = JCS_RGB;
    jpeg_start_decompress(cinfo);
    out->width = static_cast<int>(cinfo->output_width);
    out->height = static_cast<int>(cinfo->output_height);
    out->rgb.resize(static_cast<std::size_t>(out->width) * out->height * 3);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->rgb.data() + static_cast<std::size_t>(cinfo->output_scanline) * out->width * 3;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    return true;
}

JpegFile ReadJpeg(const std::string& path) {
    JpegFile result;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return result;
    jpeg_decompress_struct cinfo{};
    Failure failure{};
    result.ok = ReadInto(file, &cinfo, &failure, &result);
    std::fclose(file);
    return result;
}

bool HasMarker(const std::vector<std::uint8_t>& file, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == marker) return true;
    }
    return false;
}

TEST(JpegWriter, OnePixelIsABaselineFileAtQualityHundred) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Plain(1, 1, 40, 90, 200);
    ASSERT_EQ(WriteJpeg(image.get(), folder / "one.jpg"), 1);
    const JpegFile file = ReadJpeg(folder / "one.jpg");
    ASSERT_TRUE(file.ok);
    EXPECT_EQ(file.width, 1);
    EXPECT_EQ(file.height, 1);
    EXPECT_FALSE(file.progressive);
    const std::vector<std::uint8_t> bytes = ReadFile(folder / "one.jpg");
    EXPECT_TRUE(HasMarker(bytes, 0xC0));  // baseline frame
    EXPECT_FALSE(HasMarker(bytes, 0xC2));
    // Quality 100 scales every quantiser down to 1.
    EXPECT_EQ(file.lumaQuant, std::vector<int>(DCTSIZE2, 1));
    EXPECT_NEAR(file.Channel(0, 0, 0), 200, 3);
    EXPECT_NEAR(file.Channel(0, 0, 1), 90, 3);
    EXPECT_NEAR(file.Channel(0, 0, 2), 40, 3);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(JpegWriter, PureRedStaysRedAndTheTopRowComesFirst) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Plain(16, 16, 0, 0, 255);
    for (int y = 8; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) image->Row(y)[3 * x + 2] = 0;  // the lower half black
    }
    ASSERT_EQ(WriteJpeg(image.get(), folder / "red.jpg"), 1);
    const JpegFile file = ReadJpeg(folder / "red.jpg");
    ASSERT_TRUE(file.ok);
    EXPECT_GE(file.Channel(4, 1, 0), 240);
    EXPECT_LE(file.Channel(4, 1, 2), 15);
    EXPECT_LE(file.Channel(4, 14, 0), 15);
}

TEST(JpegWriter, RoundTripStaysCloseAndLeavesTheDocumentAlone) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Smooth(37, 23);
    const std::vector<std::uint8_t> before = BytesOf(*image);
    ASSERT_EQ(WriteJpeg(image.get(), folder / "pattern.jpg"), 1);
    EXPECT_EQ(BytesOf(*image), before);
    const JpegFile file = ReadJpeg(folder / "pattern.jpg");
    ASSERT_TRUE(file.ok);
    ASSERT_EQ(file.width, 37);
    ASSERT_EQ(file.height, 23);
    long total = 0;
    int worst = 0;
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 37; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int error = std::abs(file.Channel(x, y, c) - image->Row(y)[3 * x + 2 - c]);
                total += error;
                worst = std::max(worst, error);
            }
        }
    }
    EXPECT_LT(static_cast<double>(total) / (37 * 23 * 3), 2.0);
    EXPECT_LE(worst, 12);
}

TEST(JpegWriter, FailuresAreReportedAndLeaveTheDocumentAlone) {
    InstalledMessages boxes;
    ScratchFolder folder;
    auto image = Pattern(64, 48);
    const std::vector<std::uint8_t> before = BytesOf(*image);

    EXPECT_EQ(WriteJpeg(image.get(), folder / "absent/x.jpg"), 0);
    EXPECT_EQ(BytesOf(*image), before);
    EXPECT_EQ(WriteJpeg(image.get(), "/dev/full"), 0);
    EXPECT_EQ(BytesOf(*image), before);

    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].text, "Can't open file \"" + (folder / "absent/x.jpg") + "\": there is no such folder.");
    EXPECT_EQ(boxes.shown[1].text.rfind("Can't write file \"/dev/full\": ", 0), 0u) << boxes.shown[1].text;
    EXPECT_GT(boxes.shown[1].text.size(), std::string("Can't write file \"/dev/full\": ").size());
    for (const ShownMessage& box : boxes.shown) {
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.icon, platform::MessageIcon::Stop);
    }
}

TEST(JpegWriter, AWriteThatFailsHalfWayKeepsTheOldFile) {
    InstalledMessages boxes;
    ScratchFolder folder;
    const std::string path = folder / "kept.jpg";
    WriteFile(path, "old");
    auto image = Pattern(300, 200);
    const std::vector<std::uint8_t> before = BytesOf(*image);
    {
        FileSizeLimit limit(2048);
        EXPECT_EQ(WriteJpeg(image.get(), path), 0);
    }
    EXPECT_EQ(BytesOf(*image), before);
    EXPECT_EQ(ReadFile(path), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"kept.jpg"});
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Error");
}

TEST(JpegWriter, CompressJpegTakesRedGreenBlueRowsFromTheLastStoredRow) {
    InstalledMessages boxes;
    ScratchFolder folder;
    // 16 x 16 red-green-blue pixels, stride 48, stored bottom-up: the stored rows 8 to 15,
    // which are the picture's top half, are green; the others blue.
    std::vector<std::uint8_t> pixels(48 * 16, 0);
    for (int stored = 0; stored < 16; ++stored) {
        for (int x = 0; x < 16; ++x) pixels[stored * 48 + 3 * x + (stored >= 8 ? 1 : 2)] = 255;
    }
    ASSERT_EQ(CompressJpeg(folder / "rgb.jpg", 16, 16, 100, pixels.data(), 15 * 48), 1);
    const JpegFile file = ReadJpeg(folder / "rgb.jpg");
    ASSERT_TRUE(file.ok);
    EXPECT_GE(file.Channel(5, 2, 1), 230);
    EXPECT_LE(file.Channel(5, 2, 2), 25);
    EXPECT_GE(file.Channel(5, 13, 2), 230);
    EXPECT_EQ(CompressJpeg(folder / "absent/rgb.jpg", 16, 16, 100, pixels.data(), 15 * 48), 0);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

}  // namespace
