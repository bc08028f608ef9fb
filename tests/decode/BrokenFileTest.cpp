#include <gtest/gtest.h>
#include <sys/resource.h>

#include <random>

#include "files/ReadImage.h"
#include "support/SampleFiles.h"

using namespace samples;
using platform::DecodeStatus;

namespace {

platform::DecodedImage Decode(const Bytes& bytes, const std::string& name = "broken") {
    return ReadImageData(bytes.data(), bytes.size(), name);
}

// One sound file of every kind, named for the messages.
std::vector<std::pair<std::string, Bytes>> SoundFiles() {
    const Picture gradient = GradientPicture(40, 30, false);
    const Picture four = FourColourPicture(40, 30);
    return {
        {"png", MakePng(gradient, PngKind::Rgb8)},
        {"interlaced png", MakePng(gradient, PngKind::Interlaced)},
        {"jpeg", MakeJpeg(gradient, JpegKind::Baseline)},
        {"progressive jpeg", MakeJpeg(gradient, JpegKind::Progressive)},
        {"gif", MakeGif({four, four})},
        {"bmp", MakeBmp(gradient, BmpKind::Rgb24)},
        {"rle bmp", MakeBmp(four, BmpKind::Rle8)},
        {"2bp", MakeTwoBpp(four)},
    };
}

TEST(BrokenFiles, EveryHeaderCutShortIsRefused) {
    for (const auto& [kind, bytes] : SoundFiles()) {
        for (std::size_t length = 0; length < 40 && length < bytes.size(); ++length) {
            const auto decoded = Decode(Cut(bytes, length));
            EXPECT_NE(decoded.status, DecodeStatus::Ok) << kind << " cut at " << length;
            EXPECT_FALSE(decoded.image);
        }
    }
}

TEST(BrokenFiles, PixelDataCutShortNeverCrashes) {
    // Some readers show what they got of a cut picture; it must then have the header's size.
    for (const auto& [kind, bytes] : SoundFiles()) {
        for (std::size_t length = 40; length < bytes.size(); length += 1 + bytes.size() / 50) {
            const auto decoded = Decode(Cut(bytes, length));
            if (decoded.status == DecodeStatus::Ok || decoded.status == DecodeStatus::Damaged) {
                ASSERT_TRUE(decoded.image);
                EXPECT_EQ(decoded.image->Width(), 40) << kind << " cut at " << length;
                EXPECT_EQ(decoded.image->Height(), 30) << kind << " cut at " << length;
            } else {
                EXPECT_FALSE(decoded.image);
                EXPECT_EQ(decoded.caption, "Error");
            }
        }
    }
}

TEST(BrokenFiles, BitmapsWhoseDataIsCutShortAreRefused) {
    // Our own readers and Qt's bitmap reader check the data against the header's sizes.
    const Picture four = FourColourPicture(40, 30);
    for (const Bytes& bytes : {MakeBmp(GradientPicture(40, 30, false), BmpKind::Rgb24), MakeTwoBpp(four)}) {
        EXPECT_NE(Decode(Cut(bytes, bytes.size() - 1)).status, DecodeStatus::Ok);
        EXPECT_NE(Decode(Cut(bytes, bytes.size() / 2)).status, DecodeStatus::Ok);
    }
}

TEST(BrokenFiles, WrongHeaderFieldsOfTwoBitBitmaps) {
    const Bytes sound = MakeTwoBpp(FourColourPicture(8, 4));
    ASSERT_EQ(Decode(sound).status, DecodeStatus::Ok);
    const auto changed = [&](std::size_t at, std::uint32_t value, bool wide = true) {
        Bytes bytes = sound;
        if (wide) {
            PutLe32(bytes, at, value);
        } else {
            PutLe16(bytes, at, value);
        }
        return Decode(bytes);
    };
    EXPECT_EQ(changed(2, static_cast<std::uint32_t>(sound.size() + 1)).status, DecodeStatus::NotImage);  // file size
    EXPECT_EQ(changed(10, 0).status, DecodeStatus::NotImage);       // pixels over the headers
    EXPECT_EQ(changed(10, 0xFFFFFFF0u).status, DecodeStatus::NotImage);
    EXPECT_EQ(changed(14, 64).status, DecodeStatus::NotImage);      // unknown header size
    EXPECT_EQ(changed(14, 0xFFFFFFFFu).status, DecodeStatus::NotImage);
    EXPECT_EQ(changed(18, 0).status, DecodeStatus::NotImage);       // zero width
    EXPECT_EQ(changed(22, 0).status, DecodeStatus::NotImage);       // zero height
    EXPECT_EQ(changed(18, 17).status, DecodeStatus::NotImage);      // rows longer than the data
    EXPECT_EQ(changed(22, 5).status, DecodeStatus::NotImage);       // more rows than the data
    EXPECT_EQ(changed(22, 0x80000000u).status, DecodeStatus::TooLarge);
    EXPECT_EQ(changed(26, 2, false).status, DecodeStatus::NotImage);  // planes
    EXPECT_EQ(changed(30, 1).status, DecodeStatus::NotImage);       // compressed
    EXPECT_EQ(changed(34, 0x7FFFFFFF).status, DecodeStatus::NotImage);  // image size past the end
    EXPECT_EQ(changed(46, 5).status, DecodeStatus::NotImage);       // more than four colours

    const auto huge = changed(18, 40000);
    EXPECT_EQ(huge.status, DecodeStatus::TooLarge);
    EXPECT_EQ(huge.text, "\"broken\" is too large: the image is 40000 x 4 pixels, and neither side may be more "
                         "than 32000 pixels.");
    EXPECT_EQ(huge.caption, "Error");
    EXPECT_EQ(changed(22, static_cast<std::uint32_t>(-40000)).status, DecodeStatus::TooLarge);
}

TEST(BrokenFiles, SizesBeyondTheLimitAreRefusedBeforeAnyPixelIsRead) {
    const auto wide = Decode(MakePngHeaderOnly(32001, 1), "wide.png");
    EXPECT_EQ(wide.status, DecodeStatus::TooLarge);
    EXPECT_EQ(wide.text, "\"wide.png\" is too large: the image is 32001 x 1 pixels, and neither side may be more "
                         "than 32000 pixels.");
    EXPECT_EQ(Decode(MakePngHeaderOnly(1, 100000)).status, DecodeStatus::TooLarge);
    EXPECT_EQ(Decode(MakePngHeaderOnly(999999, 999999)).status, DecodeStatus::TooLarge);
    EXPECT_NE(Decode(MakePngHeaderOnly(0x7FFFFFFF, 0x7FFFFFFF)).status, DecodeStatus::Ok);

    Bytes bmp = MakeBmp(GradientPicture(4, 4, false), BmpKind::Rgb24);
    PutLe32(bmp, 18, 50000);
    EXPECT_EQ(Decode(bmp).status, DecodeStatus::TooLarge);

    // At the limit a picture is fine.
    const Picture line{32000, 1, std::vector<Rgba>(32000, Rgba{9, 8, 7, 255})};
    const auto longest = Decode(MakePng(line, PngKind::Rgb8));
    ASSERT_EQ(longest.status, DecodeStatus::Ok);
    EXPECT_EQ(longest.image->Width(), 32000);
}

TEST(BrokenFiles, ZeroSizesAndGarbage) {
    EXPECT_EQ(Decode(MakePngHeaderOnly(0, 5)).status, DecodeStatus::NotImage);
    EXPECT_EQ(Decode(MakePngHeaderOnly(5, 0)).status, DecodeStatus::NotImage);
    Bytes bmp = MakeBmp(GradientPicture(4, 4, false), BmpKind::Rgb24);
    PutLe32(bmp, 22, 0);
    EXPECT_EQ(Decode(bmp).status, DecodeStatus::NotImage);

    const auto empty = Decode(Bytes{}, "empty.png");
    EXPECT_EQ(empty.status, DecodeStatus::NotImage);
    EXPECT_EQ(empty.text, "\"empty.png\" is not an image, or the file is damaged.");
    EXPECT_EQ(empty.caption, "Error");
    const std::string text = "This is a letter, not a picture.\n";
    EXPECT_EQ(Decode(Bytes(text.begin(), text.end()), "letter.png").status, DecodeStatus::NotImage);

    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        Bytes bytes(1 + random() % 300);
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        // Garbage behind each signature reaches every reader.
        static const Bytes kStarts[] = {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, {0xFF, 0xD8, 0xFF},
                                        {'G', 'I', 'F', '8', '9', 'a'}, {'B', 'M'}, {}};
        const Bytes& start = kStarts[round % 5];
        std::copy(start.begin(), start.begin() + std::min(start.size(), bytes.size()), bytes.begin());
        const auto decoded = Decode(bytes);
        if (decoded.status != DecodeStatus::Ok && decoded.status != DecodeStatus::Damaged) {
            EXPECT_FALSE(decoded.image);
        }
    }
}

TEST(BrokenFiles, ALargePictureWithoutTheMemoryForItIsAnOutOfMemoryFailure) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#else
    rlimit saved{};
    getrlimit(RLIMIT_AS, &saved);
    rlimit lower = saved;
    lower.rlim_cur = 1024ull * 1024 * 1024;  // room for the program, not for 30000 x 30000 pixels
    ASSERT_EQ(setrlimit(RLIMIT_AS, &lower), 0);
    const auto decoded = Decode(MakePngHeaderOnly(30000, 30000), "big.png");
    setrlimit(RLIMIT_AS, &saved);
    EXPECT_EQ(decoded.status, DecodeStatus::OutOfMemory);
    EXPECT_EQ(decoded.text, "There is not enough memory to create the bitmap.");
    EXPECT_EQ(decoded.caption, "Out Of Memory Error");
    EXPECT_FALSE(decoded.image);
#endif
}

}  // namespace
