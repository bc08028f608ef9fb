// The batch command line, run as the real program on real files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "batch/BatchProgram.h"
#include "files/BmpWriter.h"
#include "files/PngWriter.h"
#include "filters/CreativeFilters.h"
#include "filters/Geometry.h"
#include "filters/Noise.h"
#include "filters/NoiseFilters.h"
#include "filters/Resize.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "platform/ImageDecoder.h"
#include "support/Snapshot.h"

namespace {

namespace fs = std::filesystem;

std::unique_ptr<PixelBuffer> NewBuffer(int width, int height) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, 24, header, nullptr);
    std::memset(buffer->Bits(), 0, buffer->ByteSize());
    return buffer;
}

std::vector<std::uint8_t> PixelBytes(const PixelBuffer& buffer) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < buffer.Height(); ++y) bytes.insert(bytes.end(), buffer.Row(y), buffer.Row(y) + 3 * buffer.Width());
    return bytes;
}

class BatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(::testing::TempDir()) / ("pw-batch-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        // A 50 x 30 picture of gradients that tells positions apart.
        picture = NewBuffer(50, 30);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 50; ++x) {
                std::uint8_t* p = picture->Row(y) + 3 * x;
                p[0] = static_cast<std::uint8_t>(x * 5);
                p[1] = static_cast<std::uint8_t>(y * 8);
                p[2] = static_cast<std::uint8_t>((x * y) & 0xFF);
            }
        input = Path("in.bmp");
        ASSERT_EQ(WriteBmp(picture.get(), input), 1);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    Outcome Run(const std::vector<std::string>& args) const { return RunBatchProgram(args, folder.string()); }

    std::unique_ptr<PixelBuffer> Decode(const std::string& path) const {
        return platform::DecodeImageFile(path, PaintSettings.BColor).image;
    }

    // A failed run: non-zero, one line on standard error, no output file left behind.
    void ExpectRefused(const std::vector<std::string>& args, const std::string& output) const {
        const Outcome o = Run(args);
        EXPECT_NE(o.status, 0) << args.back();
        EXPECT_FALSE(o.err.empty()) << args.back();
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_EQ(o.err.rfind("pixelwright-batch: ", 0), 0u) << o.err;
        EXPECT_FALSE(fs::exists(output)) << args.back();
        for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
            const std::string name = e.path().filename().string();
            EXPECT_TRUE(name == "in.bmp" || name == "stdout.txt" || name == "stderr.txt" || name == "junk.png" ||
                        name == "keep.png")
                << "left behind: " << name;
        }
    }

    fs::path folder;
    std::unique_ptr<PixelBuffer> picture;
    std::string input;
};

// The operations with their values and the canvas steps with their ranges, as the table
// and the step list describe them; the textures are those of the build's data folder, whose
// place the snapshot writes as DATA.
TEST_F(BatchTest, ListNamesEveryOperationAndCanvasStepWithItsValues) {
    const Outcome o = Run({"--list"});
    ASSERT_EQ(o.status, 0);
    std::string text = o.out;
    const std::string data = fs::weakly_canonical(PW_DATA_DIR).string();
    for (std::size_t at = text.find(data); at != std::string::npos; at = text.find(data, at)) {
        text.replace(at, data.size(), "DATA");
    }
    ExpectSnapshot("operations-list.txt", text);
    EXPECT_TRUE(o.err.empty());
}

TEST_F(BatchTest, OperationsRunInOrderAsTheKernelsDo) {
    const std::string output = Path("out.png");
    const Outcome o = Run({input, output, "flip-horizontal", "rotate-90-cw", "mosaic=3"});
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_TRUE(o.err.empty());
    auto result = Decode(output);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->Width(), 30);
    ASSERT_EQ(result->Height(), 50);

    FlipPixelsHorizontal(*picture);
    auto turned = NewBuffer(30, 50);
    RotatePixels90(*picture, *turned, true);
    MosaicPixels(*turned, 3);
    EXPECT_EQ(PixelBytes(*result), PixelBytes(*turned));
}

TEST_F(BatchTest, MissingValuesTakeTheDialogsInitialValues) {
    ASSERT_EQ(Run({input, Path("a.png"), "waves=10"}).status, 0);
    ASSERT_EQ(Run({input, Path("b.png"), "waves=10,0,100"}).status, 0);
    ASSERT_EQ(Run({input, Path("c.png"), "waves=10,0,50"}).status, 0);
    EXPECT_EQ(PixelBytes(*Decode(Path("a.png"))), PixelBytes(*Decode(Path("b.png"))));
    EXPECT_NE(PixelBytes(*Decode(Path("a.png"))), PixelBytes(*Decode(Path("c.png"))));

    // image-size without values keeps the size: the initial values are the image's own.
    ASSERT_EQ(Run({input, Path("d.png"), "image-size"}).status, 0);
    EXPECT_EQ(PixelBytes(*Decode(Path("d.png"))), PixelBytes(*picture));
}

TEST_F(BatchTest, NoiseStartsFreshInEveryRun) {
    ASSERT_EQ(Run({input, Path("a.png"), "add-noise"}).status, 0);
    ASSERT_EQ(Run({input, Path("b.png"), "add-noise=50,0"}).status, 0);
    const auto a = PixelBytes(*Decode(Path("a.png")));
    EXPECT_EQ(a, PixelBytes(*Decode(Path("b.png"))));
    ResetNoise();
    AddNoise(picture.get(), kNoiseMonochrome, 50);
    EXPECT_EQ(a, PixelBytes(*picture));
}

TEST_F(BatchTest, ImageSizeResamplesOrCrops) {
    ASSERT_EQ(Run({input, Path("half.png"), "image-size=25,15"}).status, 0);
    auto half = Decode(Path("half.png"));
    ASSERT_EQ(half->Width(), 25);
    ASSERT_EQ(half->Height(), 15);
    auto expected = NewBuffer(25, 15);
    ResamplePixels(*picture, *expected, kResampleInterpolated);
    EXPECT_EQ(PixelBytes(*half), PixelBytes(*expected));

    ASSERT_EQ(Run({input, Path("near.png"), "image-size=25,15,1"}).status, 0);
    auto nearest = NewBuffer(25, 15);
    ResamplePixels(*picture, *nearest, kResampleNearest);
    EXPECT_EQ(PixelBytes(*Decode(Path("near.png"))), PixelBytes(*nearest));

    ASSERT_EQ(Run({input, Path("crop.png"), "image-size=60,10,0,0"}).status, 0);
    auto crop = Decode(Path("crop.png"));
    ASSERT_EQ(crop->Width(), 60);
    EXPECT_EQ(std::memcmp(crop->Row(9), picture->Row(9), 150), 0);
    EXPECT_EQ(crop->Row(0)[3 * 55], 255);  // the new strip is the white background
}

TEST_F(BatchTest, TextureTakesItsIndexInTheSortedFolder) {
    ASSERT_EQ(Run({input, Path("t.png"), "texture=100,1"}).status, 0);
    auto texture = Decode(std::string(PW_DATA_DIR) + "/textures/Canvas.png");
    ASSERT_TRUE(texture);
    ApplyTexture(*picture, *texture, 100);
    EXPECT_EQ(PixelBytes(*Decode(Path("t.png"))), PixelBytes(*picture));
}

TEST_F(BatchTest, EveryWriterByItsEnding) {
    ASSERT_EQ(Run({input, Path("x.bmp"), "invert"}).status, 0);
    ASSERT_EQ(Run({input, Path("x.JPG"), "invert"}).status, 0);
    auto bmp = Decode(Path("x.bmp"));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->Row(0)[0], 255);  // blue 0 inverted
    EXPECT_EQ(ReadFile(Path("x.bmp")).substr(0, 2), "BM");
    EXPECT_EQ(ReadFile(Path("x.JPG")).substr(0, 2), "\xFF\xD8");
    auto jpg = Decode(Path("x.JPG"));
    ASSERT_TRUE(jpg);
    EXPECT_EQ(jpg->Width(), 50);
    EXPECT_EQ(jpg->Height(), 30);
}

TEST_F(BatchTest, TimesAreReportedPerOperationOnRequest) {
    const Outcome o = Run({"--time", input, Path("t.png"), "invert", "mosaic=4"});
    ASSERT_EQ(o.status, 0) << o.err;
    std::istringstream lines(o.out);
    std::string name, unit;
    double ms = -1;
    ASSERT_TRUE(lines >> name >> ms >> unit);
    EXPECT_EQ(name, "invert");
    EXPECT_GE(ms, 0.0);
    EXPECT_EQ(unit, "ms");
    ASSERT_TRUE(lines >> name >> ms >> unit);
    EXPECT_EQ(name, "mosaic");
    EXPECT_FALSE(lines >> name);
    EXPECT_TRUE(Run({input, Path("u.png"), "invert"}).out.empty());
}

TEST_F(BatchTest, RotationByAnAngleGrowsThePicture) {
    ASSERT_EQ(Run({input, Path("r.png"), "rotate=33"}).status, 0);
    const RotationFrame frame = ComputeRotationFrame(33.0f, 50, 30);
    auto r = Decode(Path("r.png"));
    EXPECT_EQ(r->Width(), frame.width);
    EXPECT_EQ(r->Height(), frame.height);
}

TEST_F(BatchTest, BadCommandsAreRefusedWithOneLineAndNoFile) {
    const std::string output = Path("out.png");
    for (const char* op :
         {"frobnicate", "mosaic=1", "mosaic=17", "swirl=9", "swirl=0,360", "mosaic=2,3", "mosaic=abc", "mosaic=",
          "waves=1,,2", "invert=1", "offset=51", "offset=0,-31", "image-size=0", "image-size=32001", "texture=0,5",
          "threshold=128,5", "gamma=9", "emboss=100,8", "mosaic=99999999999999"}) {
        ExpectRefused({input, output, "invert", op}, output);
    }
    // Ranges that follow the picture are checked when the step is reached.
    ASSERT_EQ(Run({input, output, "image-size=100,30", "offset=100"}).status, 0);
}

TEST_F(BatchTest, UnreadableInputsAndUnwritableOutputsAreRefused) {
    const std::string output = Path("out.png");
    ExpectRefused({Path("missing.bmp"), output}, output);
    {
        std::ofstream junk(Path("junk.png"));
        junk << "no picture here";
    }
    ExpectRefused({Path("junk.png"), output, "invert"}, output);
    ExpectRefused({input, Path("out.gif"), "invert"}, Path("out.gif"));
    ExpectRefused({input, Path("no-such-folder/out.png")}, Path("no-such-folder/out.png"));
    ExpectRefused({input}, output);
}

TEST_F(BatchTest, AFailedRunLeavesAnOldOutputAsItWas) {
    const std::string keep = Path("keep.png");
    {
        std::ofstream old(keep);
        old << "old contents";
    }
    const Outcome o = Run({input, keep, "mosaic=1"});
    EXPECT_NE(o.status, 0);
    EXPECT_EQ(ReadFile(keep), "old contents");
}

TEST_F(BatchTest, ADamagedInputIsRefusedUnlessAcceptedAsItIs) {
    const std::string whole = Path("whole.png");
    ASSERT_EQ(WritePng(picture.get(), whole), 1);
    std::ifstream in(whole, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string cut = Path("cut.png");
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 12);  // no end chunk

    const Outcome refused = Run({cut, Path("out.png"), "invert"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "pixelwright-batch: \"" + cut +
                               "\" is damaged: the picture may be incomplete. Nothing was written; --accept-damaged "
                               "works on what could be read.\n");
    EXPECT_FALSE(fs::exists(Path("out.png")));

    const Outcome accepted = Run({"--accept-damaged", cut, Path("out.png")});
    ASSERT_EQ(accepted.status, 0) << accepted.err;
    EXPECT_TRUE(accepted.err.empty());
    auto result = Decode(Path("out.png"));
    ASSERT_TRUE(result);
    EXPECT_EQ(PixelBytes(*result), PixelBytes(*picture));
    ASSERT_EQ(Run({"--time", "--accept-damaged", cut, Path("timed.png"), "invert"}).status, 0);
}

}  // namespace
