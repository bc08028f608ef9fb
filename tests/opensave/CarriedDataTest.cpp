// A camera's photo opened, touched up and saved keeps its camera data, its description and
// its colour profile; a picture with transparent parts is not flattened without a word.
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include <png.h>

#include "files/ReadImage.h"
#include "support/CameraFiles.h"
#include "support/DocumentFixture.h"

namespace {

namespace fs = std::filesystem;
using samples::Bytes;


std::string Prefix(const char* text, std::size_t length) { return std::string(text, length); }

// The profile inside a PNG iCCP chunk: name, zero, method, deflated profile.
Bytes InflatedProfile(const Bytes& chunk, std::string* name) {
    const auto zero = std::find(chunk.begin(), chunk.end(), 0);
    if (zero == chunk.end() || zero + 2 > chunk.end()) return {};
    *name = std::string(chunk.begin(), zero);
    Bytes out(1 << 16);
    uLongf length = out.size();
    const auto at = static_cast<std::size_t>(zero - chunk.begin()) + 2;
    if (uncompress(out.data(), &length, chunk.data() + at, chunk.size() - at) != Z_OK) return {};
    out.resize(length);
    return out;
}

// The text of the first international text chunk with the keyword (uncompressed).
std::string InternationalText(const std::vector<samples::Chunk>& chunks, const std::string& keyword) {
    for (const samples::Chunk& c : chunks) {
        if (c.type != "iTXt" || c.data.size() < keyword.size() + 3) continue;
        if (std::string(c.data.begin(), c.data.begin() + keyword.size()) != keyword || c.data[keyword.size()] != 0) {
            continue;
        }
        // keyword 0 flag method language 0 translated 0 text
        auto at = c.data.begin() + static_cast<std::ptrdiff_t>(keyword.size()) + 3;
        at = std::find(at, c.data.end(), 0) + 1;
        at = std::find(at, c.data.end(), 0) + 1;
        return std::string(at, c.data.end());
    }
    return {};
}

int IndexOf(const std::vector<samples::Chunk>& chunks, const std::string& type) {
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        if (chunks[i].type == type) return static_cast<int>(i);
    }
    return -1;
}

void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
    Bytes& out = *static_cast<Bytes*>(png_get_io_ptr(png));
    out.insert(out.end(), data, data + length);
}

// A PNG with the camera's EXIF block, the profile, a plain, a compressed and an international
// text chunk, the last after the picture data; withAlpha makes its left column see-through.
Bytes MakeTaggedPng(int width, int height, bool withAlpha) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendPngBytes, nullptr);
    png_set_IHDR(png, info, width, height, 8, withAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const Bytes exif = samples::MakeCameraExif(1, width, height, true);
    png_set_eXIf_1(png, info, static_cast<png_uint_32>(exif.size()), const_cast<png_bytep>(exif.data()));
    const Bytes icc = samples::MakeRgbProfile();
    png_set_iCCP(png, info, "Wide", PNG_COMPRESSION_TYPE_BASE, icc.data(), static_cast<png_uint_32>(icc.size()));
    png_text texts[2] = {};
    texts[0].compression = PNG_TEXT_COMPRESSION_NONE;
    texts[0].key = const_cast<char*>("Author");
    texts[0].text = const_cast<char*>("Ada Quill");
    texts[1].compression = PNG_TEXT_COMPRESSION_zTXt;
    texts[1].key = const_cast<char*>("Comment");
    texts[1].text = const_cast<char*>("shot from the pier, low tide");
    png_set_text(png, info, texts, 2);
    png_write_info(png, info);
    const int channels = withAlpha ? 4 : 3;
    Bytes row(static_cast<std::size_t>(width) * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            png_bytep p = row.data() + static_cast<std::size_t>(x) * channels;
            p[0] = static_cast<png_byte>(10 * x);
            p[1] = static_cast<png_byte>(20 * y);
            p[2] = 200;
            if (withAlpha) p[3] = x == 0 ? 0 : 255;
        }
        png_write_row(png, row.data());
    }
    png_text late = {};
    late.compression = PNG_ITXT_COMPRESSION_NONE;
    late.key = const_cast<char*>("Title");
    late.lang = const_cast<char*>("fr");
    late.lang_key = const_cast<char*>("Titre");
    late.text = const_cast<char*>("Le port");
    png_set_text(png, info, &late, 1);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

class CarriedDataTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        folder = fs::temp_directory_path() /
                 ("pw-carried-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        fs::remove_all(folder);
        DocumentFixture::TearDown();
    }
    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    // Opens the file, paints a pixel and saves it under the new name through Save As.
    void OpenTouchAndSaveAs(const std::string& from, const std::string& to) {
        ASSERT_EQ(OpenImageAt(from), 1);
        SetWorkPixel(1, 1, 0x00FF00);
        ImageState.ImageModified = 1;
        dialogs.replies.push_back({to, 0});
        ASSERT_EQ(SaveImage(true), 1);
    }

    fs::path folder;
};

// The camera's data as found again in a saved file's EXIF block, for a picture now w x h.
void ExpectCameraData(const Bytes& exif, int width, int height, std::size_t originalSize) {
    ASSERT_FALSE(exif.empty());
    samples::ExifTags tags = samples::ReadExifTags(exif);
    EXPECT_EQ(tags["0"][0x0112], "1");  // the picture is upright now
    EXPECT_EQ(tags["0"][0x010F], samples::kCameraMake);
    EXPECT_EQ(tags["0"][0x0110], samples::kCameraModel);
    EXPECT_EQ(tags["0"][0x0132], samples::kCameraTaken);
    EXPECT_EQ(tags["0"][0x011A], "72/1");
    EXPECT_EQ(tags["exif"][0x9003], samples::kCameraTaken);
    EXPECT_EQ(tags["exif"][0x829A], "1/250");
    EXPECT_EQ(tags["exif"][0xA002], std::to_string(width));
    EXPECT_EQ(tags["exif"][0xA003], std::to_string(height));
    EXPECT_EQ(tags["gps"][0x0001], "N");
    EXPECT_EQ(tags.count("1"), 0u) << "the old picture's thumbnail must go";
    EXPECT_LT(exif.size() + 300, originalSize);  // its bytes went too
}

}  // namespace

TEST_F(CarriedDataTest, ACameraJpegKeepsItsDataProfileAndDescriptionAsJpegAndAsPng) {
    const Bytes icc = samples::MakeRgbProfile();
    for (const bool motorola : {false, true}) {
        for (const std::string ending : {".jpg", ".png"}) {
            SCOPED_TRACE(std::string(motorola ? "MM" : "II") + ending);
            // Stored 40 x 30 on its side: shown, and saved, 30 x 40.
            const std::string from = PathOf("camera.jpg");
            samples::WriteFileBytes(from, samples::MakeCameraJpeg(samples::GradientPicture(40, 30, false), 6, motorola));
            const std::size_t originalExif = samples::MakeCameraExif(6, 30, 40, motorola).size();
            const std::string to = PathOf("saved" + ending);
            OpenTouchAndSaveAs(from, to);
            const Bytes file = samples::ReadFileBytes(to);
            if (ending == ".jpg") {
                const auto segments = samples::JpegSegments(file);
                ExpectCameraData(samples::SegmentAfter(segments, 0xE1, Prefix("Exif\0\0", 6)), 30, 40, originalExif);
                const Bytes xmp = samples::SegmentAfter(segments, 0xE1, Prefix("http://ns.adobe.com/xap/1.0/", 29));
                EXPECT_EQ(std::string(xmp.begin(), xmp.end()), samples::kCameraXmp);
                EXPECT_EQ(samples::SegmentAfter(segments, 0xE2, Prefix("ICC_PROFILE\0\1\1", 14)), icc);
            } else {
                const auto chunks = samples::PngChunks(file);
                const int exif = IndexOf(chunks, "eXIf");
                ASSERT_GE(exif, 0);
                EXPECT_LT(exif, IndexOf(chunks, "IDAT"));
                ExpectCameraData(chunks[exif].data, 30, 40, originalExif);
                const int profile = IndexOf(chunks, "iCCP");
                ASSERT_GE(profile, 0);
                std::string name;
                EXPECT_EQ(InflatedProfile(chunks[profile].data, &name), icc);
                EXPECT_EQ(InternationalText(chunks, "XML:com.adobe.xmp"), samples::kCameraXmp);
            }
            // Opened again, the picture is not turned a second time.
            const platform::DecodedImage again = ReadImageFile(to);
            ASSERT_TRUE(again.image);
            EXPECT_EQ(again.image->Width(), 30);
            EXPECT_EQ(again.image->Height(), 40);
            EXPECT_EQ(again.metadata.icc, icc);
        }
    }
}

TEST_F(CarriedDataTest, APngKeepsItsExifProfileAndTextChunks) {
    const std::string from = PathOf("tagged.png");
    samples::WriteFileBytes(from, MakeTaggedPng(12, 8, false));
    const std::string to = PathOf("saved.png");
    OpenTouchAndSaveAs(from, to);
    const auto chunks = samples::PngChunks(samples::ReadFileBytes(to));
    const int exif = IndexOf(chunks, "eXIf");
    ASSERT_GE(exif, 0);
    const samples::ExifTags tags = samples::ReadExifTags(chunks[exif].data);
    EXPECT_EQ(tags.at("0").at(0x010F), samples::kCameraMake);
    EXPECT_EQ(tags.at("exif").at(0xA002), "12");
    std::string name;
    EXPECT_EQ(InflatedProfile(chunks[IndexOf(chunks, "iCCP")].data, &name), samples::MakeRgbProfile());
    EXPECT_EQ(name, "Wide");
    const int plain = IndexOf(chunks, "tEXt");
    ASSERT_GE(plain, 0);
    EXPECT_EQ(std::string(chunks[plain].data.begin(), chunks[plain].data.end()), std::string("Author\0Ada Quill", 16));
    ASSERT_GE(IndexOf(chunks, "zTXt"), 0);
    const platform::DecodedImage again = ReadImageFile(to);
    ASSERT_EQ(again.metadata.texts.size(), 3u);
    EXPECT_EQ(again.metadata.texts[1].text, "shot from the pier, low tide");
    EXPECT_TRUE(again.metadata.texts[1].compressed);
    EXPECT_EQ(again.metadata.texts[2].translated, "Titre");
    EXPECT_EQ(again.metadata.texts[2].text, "Le port");
}

TEST_F(CarriedDataTest, AsBitmapNothingIsCarriedAndTheNextOpenReplacesWhatWasCarried) {
    const std::string camera = PathOf("camera.jpg");
    samples::WriteFileBytes(camera, samples::MakeCameraJpeg(samples::GradientPicture(8, 8, false), 1));
    OpenTouchAndSaveAs(camera, PathOf("saved.bmp"));
    // A plain file opened next carries nothing of the photo before it.
    const std::string plain = PathOf("plain.jpg");
    samples::WriteFileBytes(plain, samples::MakeJpeg(samples::GradientPicture(8, 8, false), samples::JpegKind::Baseline));
    OpenTouchAndSaveAs(plain, PathOf("plain-saved.jpg"));
    const auto segments = samples::JpegSegments(samples::ReadFileBytes(PathOf("plain-saved.jpg")));
    EXPECT_TRUE(samples::SegmentAfter(segments, 0xE1, "").empty());
    EXPECT_TRUE(samples::SegmentAfter(segments, 0xE2, "").empty());
}

TEST_F(CarriedDataTest, SavingAPictureThatHadTransparentPartsAsksFirst) {
    const std::string from = PathOf("glass.png");
    samples::WriteFileBytes(from, MakeTaggedPng(6, 4, true));
    ASSERT_EQ(OpenImageAt(from), 1);
    SetWorkPixel(2, 2, 0x00FF00);
    ImageState.ImageModified = 1;
    const Bytes original = samples::ReadFileBytes(from);

    // No: the picture stays open, unsaved, and the file as it was; the same from the
    // save-changes question, which then cancels what asked it.
    messages.answers = {platform::MessageResult::No};
    EXPECT_EQ(SaveImage(false), 0);
    messages.answers = {platform::MessageResult::Yes, platform::MessageResult::No};
    EXPECT_EQ(PromptSaveChanges(), 0);
    EXPECT_EQ(samples::ReadFileBytes(from), original);
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(ImageState.CurrentPath, from);
    ASSERT_EQ(messages.shown.size(), 3u);
    const std::string question =
        "glass.png has transparent parts. Pixelwright keeps no transparency, so they will be saved filled with the "
        "background colour. Save anyway?";
    for (const std::size_t i : {0u, 2u}) {
        EXPECT_EQ(messages.shown[i].text, question);
        EXPECT_EQ(messages.shown[i].caption, "Pixelwright");
        EXPECT_EQ(messages.shown[i].buttons, platform::MessageButtons::YesNo);
        EXPECT_EQ(messages.shown[i].icon, platform::MessageIcon::Question);
    }

    // Yes saves, flattened; the file then has nothing more to lose, so the next save is quiet.
    messages.answers = {platform::MessageResult::Yes};
    EXPECT_EQ(SaveImage(false), 1);
    EXPECT_EQ(ImageState.ImageModified, 0);
    const platform::DecodedImage saved = ReadImageFile(from);
    ASSERT_TRUE(saved.image);
    EXPECT_FALSE(saved.transparent);
    ImageState.ImageModified = 1;
    EXPECT_EQ(SaveImage(false), 1);
    EXPECT_EQ(messages.shown.size(), 4u);
}

TEST_F(CarriedDataTest, SaveAsOffersBothWebpWaysAndSaveKeepsTheOneLastUsed) {
    const std::string from = PathOf("camera.jpg");
    samples::WriteFileBytes(from, samples::MakeCameraJpeg(samples::GradientPicture(20, 10, false), 1));
    ASSERT_EQ(OpenImageAt(from), 1);
    const auto chunkNames = [](const std::string& path) {
        const Bytes bytes = samples::ReadFileBytes(path);
        std::vector<std::string> names;
        for (std::size_t at = 12; at + 8 <= bytes.size();) {
            names.emplace_back(bytes.begin() + at, bytes.begin() + at + 4);
            const std::size_t size = bytes[at + 4] | bytes[at + 5] << 8 | bytes[at + 6] << 16 | bytes[at + 7] << 24;
            at += 8 + size + (size & 1);
        }
        return names;
    };
    // Named without an ending, as a user types it: the type picked gives ending and way.
    dialogs.replies.push_back({PathOf("exact"), 4});
    ASSERT_EQ(SaveImage(true), 1);
    EXPECT_EQ(dialogs.requests.back().typeList,
              "JPEG File (*.jpg)|*.jpg|PNG File (*.png)|*.png|Bitmap File (*.bmp)|*.bmp|WebP Files (*.webp)|*.webp|"
              "WebP Lossless (*.webp)|*.webp|");
    EXPECT_EQ(ImageState.CurrentPath, PathOf("exact.webp"));
    EXPECT_EQ(chunkNames(PathOf("exact.webp")), (std::vector<std::string>{"VP8X", "ICCP", "VP8L", "EXIF", "XMP "}));
    const platform::DecodedImage exact = ReadImageFile(PathOf("exact.webp"));
    ASSERT_TRUE(exact.image);
    EXPECT_TRUE(exact.lossless);
    EXPECT_EQ(exact.metadata.icc, samples::MakeRgbProfile());

    // Save writes it the same way again; Save As with the first WebP type writes lossy.
    ImageState.ImageModified = 1;
    ASSERT_EQ(SaveImage(false), 1);
    EXPECT_EQ(chunkNames(PathOf("exact.webp"))[2], "VP8L");
    dialogs.replies.push_back({PathOf("small.webp"), 0});
    ASSERT_EQ(SaveImage(true), 1);
    EXPECT_EQ(dialogs.requests.back().typeList,
              "WebP Files (*.webp)|*.webp|WebP Lossless (*.webp)|*.webp|PNG File (*.png)|*.png|JPEG File (*.jpg)|*.jpg|"
              "Bitmap File (*.bmp)|*.bmp|");
    EXPECT_EQ(chunkNames(PathOf("small.webp"))[2], "VP8 ");
    EXPECT_TRUE(messages.shown.empty());
}
