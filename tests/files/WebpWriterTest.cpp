// The WebP writer, its files read back with libwebp itself.
#include <webp/decode.h>
#include <webp/demux.h>

#include <map>

#include "files/WebpWriter.h"
#include "support/CameraFiles.h"
#include "support/WriterFixtures.h"

using namespace writer_test;

namespace {

// The file's chunks by their four-character names (the first of each), and its picture
// as libwebp decodes it, top row first, blue-green-red.
struct WebpFile {
    std::map<std::string, samples::Bytes> chunks;
    int width = 0;
    int height = 0;
    samples::Bytes bgr;
};

WebpFile ReadWebp(const std::string& path) {
    WebpFile file;
    const samples::Bytes bytes = samples::ReadFileBytes(path);
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::string name(bytes.begin() + at, bytes.begin() + at + 4);
        const std::size_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 | bytes[at + 7] << 24;
        if (at + 8 + size > bytes.size()) break;
        file.chunks.emplace(name, samples::Bytes(bytes.begin() + at + 8, bytes.begin() + at + 8 + size));
        at += 8 + size + (size & 1);
    }
    std::uint8_t* pixels = WebPDecodeBGR(bytes.data(), bytes.size(), &file.width, &file.height);
    if (pixels) file.bgr.assign(pixels, pixels + static_cast<std::size_t>(file.width) * file.height * 3);
    WebPFree(pixels);
    return file;
}

int LargestDifference(const WebpFile& file, const PixelBuffer& image) {
    int largest = 0;
    for (int y = 0; y < image.Height(); ++y) {
        for (int i = 0; i < 3 * image.Width(); ++i) {
            largest = std::max(largest, std::abs(file.bgr[static_cast<std::size_t>(y) * 3 * image.Width() + i] -
                                                 image.Row(y)[i]));
        }
    }
    return largest;
}

}  // namespace

TEST(WebpWriter, LossyAndLosslessFilesHoldThePictureTheRightWayUp) {
    InstalledMessages boxes;
    ScratchFolder folder;
    const auto pattern = Pattern(37, 23);
    ASSERT_EQ(WriteWebp(pattern.get(), (folder / "exact.webp"), true, nullptr), 1);
    const WebpFile exact = ReadWebp((folder / "exact.webp"));
    EXPECT_TRUE(exact.chunks.count("VP8L"));
    ASSERT_EQ(exact.width, 37);
    ASSERT_EQ(exact.height, 23);
    EXPECT_EQ(LargestDifference(exact, *pattern), 0);

    const auto smooth = Smooth(64, 40);
    ASSERT_EQ(WriteWebp(smooth.get(), (folder / "lossy.webp"), false, nullptr), 1);
    const WebpFile lossy = ReadWebp((folder / "lossy.webp"));
    EXPECT_TRUE(lossy.chunks.count("VP8 "));
    EXPECT_EQ(lossy.chunks.size(), 1u);  // nothing carried, nothing but the picture
    EXPECT_LE(LargestDifference(lossy, *smooth), 12);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(WebpWriter, CarriesTheCameraDataAndProfileInTheirChunks) {
    InstalledMessages boxes;
    ScratchFolder folder;
    platform::PictureMetadata carried;
    carried.exif = samples::MakeCameraExif(6, 40, 30, true);
    carried.icc = samples::MakeRgbProfile();
    const std::string xmp = samples::kCameraXmp;
    carried.xmp.assign(xmp.begin(), xmp.end());
    const auto picture = Smooth(30, 40);
    ASSERT_EQ(WriteWebp(picture.get(), (folder / "carried.webp"), false, &carried), 1);
    WebpFile file = ReadWebp((folder / "carried.webp"));
    EXPECT_TRUE(file.chunks.count("VP8X"));
    EXPECT_EQ(file.chunks["ICCP"], carried.icc);
    EXPECT_EQ(file.chunks["XMP "], carried.xmp);
    samples::ExifTags tags = samples::ReadExifTags(file.chunks["EXIF"]);
    EXPECT_EQ(tags["0"][0x0112], "1");
    EXPECT_EQ(tags["exif"][0xA002], "30");
    EXPECT_EQ(tags["0"][0x010F], samples::kCameraMake);
    EXPECT_EQ(tags.count("1"), 0u);
    EXPECT_EQ(file.width, 30);
}

TEST(WebpWriter, APictureTooLargeForWebpIsRefusedAndTheOldFileKept) {
    InstalledMessages boxes;
    ScratchFolder folder;
    const std::string path = (folder / "wide.webp");
    samples::WriteFileBytes(path, {'o', 'l', 'd'});
    const auto wide = Pattern(kWebpLargestSide + 1, 1);
    EXPECT_EQ(WriteWebp(wide.get(), path, false, nullptr), 0);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_NE(boxes.shown[0].text.find(": a WebP picture may be at most 16383 pixels wide and high; this one is 16384 x 1."),
              std::string::npos);
    EXPECT_EQ(boxes.shown[0].caption, "Error");
    EXPECT_EQ(samples::ReadFileBytes(path), (samples::Bytes{'o', 'l', 'd'}));
}
