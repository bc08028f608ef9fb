// Our JPEG and PNG readers: the same pixels as the platform's decoder for sound files, and
// for damaged or cut files what could be read, marked as damaged.
#include <gtest/gtest.h>

#include "support/SampleFiles.h"
#include "files/ReadImage.h"
#include "platform/ImageDecoder.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "shell/ProgramState.h"

using namespace samples;
using platform::DecodeStatus;

namespace {

constexpr raster::Colour kBackground = raster::MakeColour(1, 2, 3);

platform::DecodedImage Ours(const Bytes& bytes, const std::string& name = "sample") {
    return ReadImageData(bytes.data(), bytes.size(), name);
}

platform::DecodedImage Platforms(const Bytes& bytes) {
    return platform::DecodeImageData(bytes.data(), bytes.size(), "sample", PaintSettings.BColor);
}

// Pseudo-random pixels: pictures whose files are long, so that cuts land in the pixel data.
Picture NoisePicture(int width, int height) {
    Picture picture{width, height, {}};
    std::uint32_t state = 99;
    for (int i = 0; i < width * height; ++i) {
        state = state * 1103515245u + 12345u;
        picture.pixels.push_back({static_cast<std::uint8_t>(state >> 24), static_cast<std::uint8_t>(state >> 16),
                                  static_cast<std::uint8_t>(state >> 8), 255});
    }
    return picture;
}

// Smooth shapes and edges, for a lossy file that exercises every part of the decoder.
Picture PhotoPicture(int width, int height) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool disc = (x - 40) * (x - 40) + (y - 30) * (y - 30) < 400;
            picture.pixels.push_back({static_cast<std::uint8_t>(disc ? 230 : 2 * x),
                                      static_cast<std::uint8_t>(disc ? 40 : 3 * y + x / 4),
                                      static_cast<std::uint8_t>((x * y) / 20), 255});
        }
    }
    return picture;
}

bool SameRow(const PixelBuffer& a, const PixelBuffer& b, int row) {
    return std::equal(a.Row(row), a.Row(row) + 3 * a.Width(), b.Row(row));
}

bool RowIsBackground(const PixelBuffer& image, int row) {
    for (int x = 0; x < image.Width(); ++x) {
        const std::uint8_t* p = image.Row(row) + 3 * x;
        if (p[0] != 3 || p[1] != 2 || p[2] != 1) return false;
    }
    return true;
}

std::vector<std::uint8_t> AllBytes(const PixelBuffer& image) {
    return std::vector<std::uint8_t>(image.Bits(), image.Bits() + image.ByteSize());
}

class Readers : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        PaintSettings.BColor = kBackground;
    }
    void TearDown() override { ResetProgramState(); }
};

TEST_F(Readers, SoundFilesGiveThePlatformDecodersPixelsByteForByte) {
    std::vector<std::pair<std::string, Bytes>> files;
    const Picture gradient = GradientPicture(37, 29, false);
    const Picture faded = GradientPicture(37, 29, true);
    const Picture four = FourColourPicture(13, 7);
    for (PngKind kind : {PngKind::Rgb8, PngKind::Grey8, PngKind::Grey16, PngKind::Rgb16}) {
        files.emplace_back("png " + std::to_string(static_cast<int>(kind)), MakePng(gradient, kind));
    }
    files.emplace_back("png with alpha", MakePng(faded, PngKind::Rgba8));
    files.emplace_back("grey png with alpha", MakePng(faded, PngKind::GreyAlpha8));
    files.emplace_back("interlaced png", MakePng(GradientPicture(45, 33, false), PngKind::Interlaced));
    files.emplace_back("palette png", MakePng(four, PngKind::Palette));
    files.emplace_back("palette png with a transparent entry", MakePng(four, PngKind::PaletteTransparent));
    const Picture photo = PhotoPicture(83, 61);
    files.emplace_back("jpeg", MakeJpeg(photo, JpegKind::Baseline));
    files.emplace_back("progressive jpeg", MakeJpeg(photo, JpegKind::Progressive));
    files.emplace_back("grey jpeg", MakeJpeg(photo, JpegKind::Grey));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        files.emplace_back("jpeg turned " + std::to_string(orientation), MakeJpeg(photo, JpegKind::Baseline, orientation));
    }
    for (const auto& [kind, bytes] : files) {
        const auto ours = Ours(bytes);
        const auto theirs = Platforms(bytes);
        ASSERT_EQ(ours.status, DecodeStatus::Ok) << kind << ": " << ours.text;
        ASSERT_EQ(theirs.status, DecodeStatus::Ok) << kind;
        ASSERT_EQ(ours.image->Width(), theirs.image->Width()) << kind;
        ASSERT_EQ(ours.image->Height(), theirs.image->Height()) << kind;
        EXPECT_EQ(AllBytes(*ours.image), AllBytes(*theirs.image)) << kind;
    }
}

TEST_F(Readers, APngCutShortShowsTheRowsBeforeTheCutAndTheBackgroundAfter) {
    const Bytes sound = MakePng(NoisePicture(64, 48), PngKind::Rgb8);
    const auto whole = Ours(sound);
    ASSERT_EQ(whole.status, DecodeStatus::Ok);
    int previousRows = 0;
    for (int quarter = 1; quarter <= 3; ++quarter) {
        const auto cut = Ours(Cut(sound, sound.size() * quarter / 4), "cut.png");
        ASSERT_EQ(cut.status, DecodeStatus::Damaged) << "cut at " << quarter << "/4";
        EXPECT_EQ(cut.text, "\"cut.png\" is damaged: the picture may be incomplete.");
        EXPECT_EQ(cut.caption, "Error");
        ASSERT_EQ(cut.image->Width(), 64);
        ASSERT_EQ(cut.image->Height(), 48);
        int rows = 0;
        while (rows < 48 && SameRow(*cut.image, *whole.image, rows)) ++rows;
        for (int row = rows; row < 48; ++row) EXPECT_TRUE(RowIsBackground(*cut.image, row)) << row;
        // Each quarter of the data holds about a quarter of the rows.
        EXPECT_GT(rows, previousRows);
        EXPECT_LT(rows, 48);
        previousRows = rows;
    }
    // Without its end chunk, or with the end chunk cut, every row is there but the file is
    // still damaged.
    for (std::size_t missing : {12u, 1u}) {
        const auto endless = Ours(Cut(sound, sound.size() - missing));
        EXPECT_EQ(endless.status, DecodeStatus::Damaged);
        ASSERT_TRUE(endless.image);
        EXPECT_EQ(AllBytes(*endless.image), AllBytes(*whole.image));
    }
}

TEST_F(Readers, CutInterlacedAndTransparentPngsAreDamagedToo) {
    Picture faded = NoisePicture(64, 48);
    for (std::size_t i = 0; i < faded.pixels.size(); ++i) faded.pixels[i].alpha = static_cast<std::uint8_t>(i * 7);
    for (PngKind kind : {PngKind::Interlaced, PngKind::Rgba8}) {
        const Picture& picture = kind == PngKind::Rgba8 ? faded : NoisePicture(64, 48);
        const Bytes sound = MakePng(picture, kind);
        const auto whole = Ours(sound);
        ASSERT_EQ(whole.status, DecodeStatus::Ok);
        const auto half = Ours(Cut(sound, sound.size() / 2));
        ASSERT_EQ(half.status, DecodeStatus::Damaged);
        EXPECT_NE(AllBytes(*half.image), AllBytes(*whole.image));
        // The last rows never arrived.
        EXPECT_TRUE(RowIsBackground(*half.image, 47));
    }
}

TEST_F(Readers, APngWithACorruptChunkIsDamaged) {
    Bytes bytes = MakePng(NoisePicture(128, 96), PngKind::Rgb8);  // several data chunks
    bytes[bytes.size() / 2] ^= 0x40;
    const auto decoded = Ours(bytes, "bad.png");
    ASSERT_EQ(decoded.status, DecodeStatus::Damaged);
    EXPECT_EQ(decoded.image->Height(), 96);
    EXPECT_TRUE(RowIsBackground(*decoded.image, 95));
}

TEST_F(Readers, AJpegCutShortIsDamagedAndKeepsItsFirstRows) {
    const Bytes sound = MakeJpeg(PhotoPicture(83, 61), JpegKind::Baseline);
    const auto whole = Ours(sound);
    ASSERT_EQ(whole.status, DecodeStatus::Ok);
    for (int quarter = 2; quarter <= 3; ++quarter) {
        const auto cut = Ours(Cut(sound, sound.size() * quarter / 4), "cut.jpg");
        ASSERT_EQ(cut.status, DecodeStatus::Damaged) << quarter;
        EXPECT_EQ(cut.text, "\"cut.jpg\" is damaged: the picture may be incomplete.");
        ASSERT_EQ(cut.image->Width(), 83);
        ASSERT_EQ(cut.image->Height(), 61);
        // The first band of blocks was in the data.
        for (int row = 0; row < 8; ++row) EXPECT_TRUE(SameRow(*cut.image, *whole.image, row)) << row;
        EXPECT_FALSE(SameRow(*cut.image, *whole.image, 60));
    }
    // Only the end marker missing: every pixel is there, but the file is not whole.
    const auto endless = Ours(Cut(sound, sound.size() - 2));
    ASSERT_EQ(endless.status, DecodeStatus::Damaged);
    EXPECT_EQ(AllBytes(*endless.image), AllBytes(*whole.image));

    const Bytes progressive = MakeJpeg(PhotoPicture(83, 61), JpegKind::Progressive);
    const auto cutProgressive = Ours(Cut(progressive, progressive.size() / 2));
    ASSERT_EQ(cutProgressive.status, DecodeStatus::Damaged);
    EXPECT_EQ(cutProgressive.image->Height(), 61);
}

TEST_F(Readers, AJpegWithAStrayMarkerInItsDataIsDamaged) {
    Bytes bytes = MakeJpeg(PhotoPicture(83, 61), JpegKind::Baseline);
    const std::size_t middle = bytes.size() / 2;
    bytes[middle] = 0xFF;
    bytes[middle + 1] = 0xD0;
    EXPECT_EQ(Ours(bytes).status, DecodeStatus::Damaged);
}

TEST_F(Readers, FilesCutInsideTheirHeadersAreNoPictures) {
    const Bytes png = MakePng(NoisePicture(64, 48), PngKind::Rgb8);
    const Bytes jpeg = MakeJpeg(PhotoPicture(83, 61), JpegKind::Baseline);
    for (std::size_t length : {8u, 20u, 33u, 45u}) {
        const auto decoded = Ours(Cut(png, length), "head.png");
        EXPECT_EQ(decoded.status, DecodeStatus::NotImage) << length;
        EXPECT_EQ(decoded.text, "\"head.png\" is not an image, or the file is damaged.");
        EXPECT_FALSE(decoded.image);
    }
    for (std::size_t length : {3u, 100u, 300u}) EXPECT_EQ(Ours(Cut(jpeg, length)).status, DecodeStatus::NotImage);
}

}  // namespace
