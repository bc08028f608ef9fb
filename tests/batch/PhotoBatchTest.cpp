// The batch program on photos: what they carry goes with them, transparency is never lost
// without a word, and many files run side by side.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/BatchProgram.h"
#include "files/ReadImage.h"
#include "support/CameraFiles.h"
#include "support/PhotoFiles.h"

namespace {

namespace fs = std::filesystem;
using samples::Bytes;

class PhotoBatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(::testing::TempDir()) /
                 ("pw-photo-batch-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::string Path(const std::string& name) const { return (folder / name).string(); }
    Outcome Run(const std::vector<std::string>& args) const { return RunBatchProgram(args, folder.string()); }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        samples::WriteFileBytes(Path(name), bytes);
        return Path(name);
    }

    fs::path folder;
};

}  // namespace

TEST_F(PhotoBatchTest, TransparencyLostIsSaidOnOneLineAndStrictRefusesIt) {
    const std::string input = Write("glass.png", samples::MakePng(samples::GradientPicture(9, 4, true),
                                                                  samples::PngKind::Rgba8));
    const Outcome told = Run({input, Path("flat.jpg")});
    EXPECT_EQ(told.status, 0);
    EXPECT_EQ(told.err, "pixelwright-batch: \"" + input +
                            "\" has transparent parts: they were saved filled with the background colour.\n");
    EXPECT_TRUE(fs::exists(Path("flat.jpg")));

    const Outcome refused = Run({"--strict", input, Path("strict.png"), "invert"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "pixelwright-batch: \"" + input +
                               "\" has transparent parts, which the output cannot keep. Nothing was written "
                               "(--strict).\n");
    EXPECT_FALSE(fs::exists(Path("strict.png")));

    // An alpha channel that is opaque everywhere loses nothing.
    const std::string opaque = Write("opaque.png", samples::MakePng(samples::GradientPicture(9, 4, false),
                                                                    samples::PngKind::Rgba8));
    const Outcome quiet = Run({"--strict", opaque, Path("opaque-out.png")});
    EXPECT_EQ(quiet.status, 0);
    EXPECT_TRUE(quiet.err.empty()) << quiet.err;
}

TEST_F(PhotoBatchTest, ACameraJpegKeepsItsDataThroughTheBatch) {
    const std::string input = Write("camera.jpg", samples::MakeCameraJpeg(samples::GradientPicture(40, 30, false), 6));
    for (const std::string ending : {".jpg", ".png"}) {
        const std::string output = Path("out" + ending);
        ASSERT_EQ(Run({input, output, "invert"}).status, 0);
        const platform::DecodedImage again = ReadImageFile(output);
        ASSERT_TRUE(again.image) << ending;
        EXPECT_EQ(again.image->Width(), 30);
        samples::ExifTags tags = samples::ReadExifTags(again.metadata.exif);
        EXPECT_EQ(tags["0"][0x0112], "1") << ending;
        EXPECT_EQ(tags["0"][0x0110], samples::kCameraModel) << ending;
        EXPECT_EQ(again.metadata.icc, samples::MakeRgbProfile()) << ending;
        EXPECT_EQ(std::string(again.metadata.xmp.begin(), again.metadata.xmp.end()), samples::kCameraXmp) << ending;
    }
}

TEST_F(PhotoBatchTest, WebpIsWrittenLossyOrLosslessWithWhatTheInputCarried) {
    const std::string input = Write("camera.jpg", samples::MakeCameraJpeg(samples::GradientPicture(40, 30, false), 1));
    const platform::DecodedImage original = ReadImageFile(input);
    ASSERT_TRUE(original.image);
    for (const bool lossless : {false, true}) {
        const std::string output = Path(lossless ? "exact.webp" : "small.WEBP");
        std::vector<std::string> args = {input, output};
        if (lossless) args.insert(args.begin(), "--lossless");
        const Outcome o = Run(args);
        ASSERT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(o.err.empty()) << o.err;
        const Bytes bytes = samples::ReadFileBytes(output);
        const std::string file(bytes.begin(), bytes.end());
        EXPECT_NE(file.find(lossless ? "VP8L" : "VP8 "), std::string::npos);
        const platform::DecodedImage again = ReadImageFile(output);
        ASSERT_TRUE(again.image);
        EXPECT_EQ(again.lossless, lossless);
        EXPECT_EQ(samples::ReadExifTags(again.metadata.exif)["0"][0x010F], samples::kCameraMake);
        EXPECT_EQ(again.metadata.icc, samples::MakeRgbProfile());
        if (lossless) {
            for (int y = 0; y < 30; ++y) {
                ASSERT_TRUE(std::equal(again.image->Row(y), again.image->Row(y) + 120, original.image->Row(y)));
            }
        }
    }
    const Outcome wrong = Run({input, Path("out.tiff")});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err, "pixelwright-batch: cannot write \"" + Path("out.tiff") +
                             "\": the name must end in .bmp, .jpg, .png or .webp\n");
}

TEST_F(PhotoBatchTest, ADamagedPictureOfANewFormatIsRefusedAsADamagedJpegIs) {
    const Bytes whole = samples::MakeWebp(samples::GradientPicture(64, 64, false), false);
    const std::string input = Write("cut.webp", Bytes(whole.begin(), whole.begin() + whole.size() * 6 / 10));
    const Outcome refused = Run({input, Path("out.png")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "pixelwright-batch: \"" + input +
                               "\" is damaged: the picture may be incomplete. Nothing was written; --accept-damaged "
                               "works on what could be read.\n");
    EXPECT_FALSE(fs::exists(Path("out.png")));
    EXPECT_EQ(Run({"--accept-damaged", input, Path("out.png")}).status, 0);
}

// The README's command for a folder of pictures on all cores, run as it is written there.
TEST_F(PhotoBatchTest, GnuParallelRunsTheBatchOverAFolder) {
    if (std::system("parallel --version >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "GNU parallel is not installed (scripts/install-deps installs it)";
    }
    fs::create_directories(folder / "photos");
    for (int i = 0; i < 5; ++i) {
        Write("photos/IMG_" + std::to_string(i) + ".jpg",
              samples::MakeCameraJpeg(samples::GradientPicture(16 + i, 12, false), 1));
    }
    const std::string programFolder = fs::path(PW_BATCH_PROGRAM).parent_path().string();
    const std::string command = "cd '" + folder.string() + "' && PATH='" + programFolder +
                                "':\"$PATH\" && mkdir -p out && "
                                "parallel pixelwright-batch {} out/{/.}.webp ::: photos/*.jpg 2>'" + Path("err.txt") +
                                "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << samples::ReadFileBytes(Path("err.txt")).size();
    for (int i = 0; i < 5; ++i) {
        const platform::DecodedImage result = ReadImageFile(Path("out/IMG_" + std::to_string(i) + ".webp"));
        ASSERT_TRUE(result.image) << i;
        EXPECT_EQ(result.image->Width(), 16 + i);
        EXPECT_EQ(samples::ReadExifTags(result.metadata.exif)["0"][0x0110], samples::kCameraModel);
    }
}
