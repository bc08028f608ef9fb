#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "files/PngWriter.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "platform/ImageDecoder.h"
#include "platform/MenuModel.h"
#include "support/DocumentFixture.h"

namespace {

namespace fs = std::filesystem;

constexpr raster::Colour kRed = 0x0000FF;

// A 40 x 30 PNG of noise, then cut to keep only the given share of its bytes.
std::string WriteCutPng(const std::string& path, double share) {
    raster::BitmapInfo header;
    std::uint8_t* bits = nullptr;
    raster::DrawingContext dc(CreatePixelBuffer(40, 30, 24, header, &bits));
    std::uint32_t state = 5;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            state = state * 1103515245u + 12345u;
            raster::SetPixel(dc, x, y, state >> 8 & 0xFFFFFF);
        }
    }
    EXPECT_EQ(WritePng(dc.SelectedBitmap(), path), 1);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() * share);
    return path;
}

class OpenSaveTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        folder = fs::temp_directory_path() /
                 ("pw-opensave-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        FileState.RecentMenu = &recent;
    }
    void TearDown() override {
        fs::remove_all(folder);
        DocumentFixture::TearDown();
    }

    std::string PathOf(const std::string& name) const { return (folder / name).string(); }

    // A 3 x 2 PNG with a red pixel at (2, 1).
    std::string WriteSample(const std::string& name) {
        raster::BitmapInfo header;
        std::uint8_t* bits = nullptr;
        raster::DrawingContext dc(CreatePixelBuffer(3, 2, 24, header, &bits));
        raster::FillRect(dc, {0, 0, 3, 2}, 0xFFFFFF);
        raster::SetPixel(dc, 2, 1, kRed);
        const std::string path = PathOf(name);
        EXPECT_EQ(WritePng(dc.SelectedBitmap(), path), 1);
        return path;
    }

    std::vector<std::string> RecentLabels() const {
        std::vector<std::string> labels;
        for (int i = 0; i < recent.ItemCount(); ++i) labels.push_back(recent.ItemLabel(i));
        return labels;
    }

    std::string Stored(const std::string& name) {
        std::string value;
        settings.ReadText(name, value);
        return value;
    }

    fs::path folder;
    platform::MenuModel recent;
};

TEST_F(OpenSaveTest, AnEmptyListShowsADisabledUntitledItem) {
    UpdateRecentFiles();
    EXPECT_EQ(FileState.RecentCount, 0);
    ASSERT_EQ(recent.ItemCount(), 1);
    EXPECT_EQ(recent.ItemId(0), 1101);
    EXPECT_EQ(recent.ItemLabel(0), "untitled");
    EXPECT_FALSE(recent.IsItemEnabled(1101));
    EXPECT_FALSE(settings.Contains("File1"));
}

TEST_F(OpenSaveTest, RecentListMovesAKnownFileToTheTopAndDropsTheOldest) {
    settings.WriteText("File1", "/p/a.png");
    settings.WriteText("File2", "/p/b.png");
    settings.WriteText("File3", "/p/c.png");
    ImageState.CurrentPath = "/p/c.png";
    UpdateRecentFiles();
    EXPECT_EQ(Stored("File1"), "/p/c.png");
    EXPECT_EQ(Stored("File2"), "/p/a.png");
    EXPECT_EQ(Stored("File3"), "/p/b.png");
    EXPECT_FALSE(settings.Contains("File4"));
    EXPECT_EQ(RecentLabels(), (std::vector<std::string>{"c.png", "a.png", "b.png"}));
    EXPECT_EQ(recent.ItemId(2), 1103);
    EXPECT_TRUE(recent.IsItemEnabled(1101));

    ImageState.CurrentPath = "/p/d.png";
    UpdateRecentFiles();
    ImageState.CurrentPath = "/p/e.png";
    UpdateRecentFiles();
    EXPECT_EQ(FileState.RecentCount, 4);
    EXPECT_EQ(Stored("File1"), "/p/e.png");
    EXPECT_EQ(Stored("File2"), "/p/d.png");
    EXPECT_EQ(Stored("File3"), "/p/c.png");
    EXPECT_EQ(Stored("File4"), "/p/a.png");  // the former third entry; b.png fell off
    EXPECT_EQ(RecentLabels(), (std::vector<std::string>{"e.png", "d.png", "c.png", "a.png"}));
}

TEST_F(OpenSaveTest, RecentPathsDifferingOnlyInCaseAreOneEntry) {
    settings.WriteText("File1", "/p/One.PNG");
    settings.WriteText("File2", "/p/two.png");
    ImageState.CurrentPath = "/P/two.PNG";
    UpdateRecentFiles();
    EXPECT_EQ(FileState.RecentCount, 2);
    EXPECT_EQ(Stored("File1"), "/P/two.PNG");
    EXPECT_EQ(Stored("File2"), "/p/One.PNG");
    // Start-up with no document only reads and shows the list.
    ImageState.CurrentPath.clear();
    UpdateRecentFiles();
    EXPECT_EQ(RecentLabels(), (std::vector<std::string>{"two.PNG", "One.PNG"}));
}

TEST_F(OpenSaveTest, SaveQuestionOnlyForAModifiedImage) {
    MakeImage(4, 4);
    EXPECT_EQ(PromptSaveChanges(), 1);
    EXPECT_TRUE(messages.shown.empty());

    ImageState.ImageModified = 1;
    ImageState.CurrentPath = "/some/where/picture.jpg";
    messages.answers = {platform::MessageResult::No};
    EXPECT_EQ(PromptSaveChanges(), 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Save changes to\n\"picture.jpg\" ?");
    EXPECT_EQ(messages.shown[0].caption, "Pixelwright");
    EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::YesNoCancel);
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Question);
    EXPECT_EQ(ImageState.ImageModified, 1);

    messages.answers = {platform::MessageResult::Cancel};
    EXPECT_EQ(PromptSaveChanges(), 0);
}

TEST_F(OpenSaveTest, YesThenCancelledSaveDialogCancels) {
    MakeImage(4, 4);
    ImageState.ImageModified = 1;
    messages.answers = {platform::MessageResult::Yes};
    EXPECT_EQ(PromptSaveChanges(), 0);
    EXPECT_EQ(messages.shown[0].text, "Save changes to\n\"untitled\" ?");
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(OpenSaveTest, SavingANewImageProposesUntitledPngWithPngFirst) {
    MakeImage(3, 3);
    SetWorkPixel(1, 1, kRed);
    ImageState.ImageModified = 1;
    const std::string target = PathOf("first.png");
    dialogs.replies = {{target, 0}};
    EXPECT_EQ(SaveImage(false), 1);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    const platform::FileDialogRequest& request = dialogs.requests[0];
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.title, "Save Image");
    EXPECT_EQ(request.initialName, "untitled.png");
    EXPECT_EQ(request.typeList, "PNG File (*.png)|*.png|Bitmap File (*.bmp)|*.bmp|JPEG File (*.jpg)|*.jpg|"
                                "WebP Files (*.webp)|*.webp|WebP Lossless (*.webp)|*.webp|");
    EXPECT_EQ(ImageState.CurrentPath, target);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_EQ(Stored("File1"), target);
    EXPECT_TRUE(fs::exists(target));

    // Save with a name writes without asking.
    ImageState.ImageModified = 1;
    EXPECT_EQ(SaveImage(false), 1);
    EXPECT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(ImageState.ImageModified, 0);
}

TEST_F(OpenSaveTest, TypeListsFollowTheProposedEnding) {
    const std::string webp = "WebP Files (*.webp)|*.webp|WebP Lossless (*.webp)|*.webp|";
    EXPECT_EQ(SaveTypeListFor("a.BMP"), "Bitmap File (*.bmp)|*.bmp|PNG File (*.png)|*.png|JPEG File (*.jpg)|*.jpg|" + webp);
    EXPECT_EQ(SaveTypeListFor("/x/a.Jpg"), "JPEG File (*.jpg)|*.jpg|PNG File (*.png)|*.png|Bitmap File (*.bmp)|*.bmp|" + webp);
    EXPECT_EQ(SaveTypeListFor("a.WebP"), webp + "PNG File (*.png)|*.png|JPEG File (*.jpg)|*.jpg|Bitmap File (*.bmp)|*.bmp|");
    EXPECT_STREQ(SaveTypeListFor("a.gif"), "");
    EXPECT_STREQ(SaveTypeListFor("awebp"), "");
    EXPECT_STREQ(SaveTypeListFor("png"), "");
    EXPECT_EQ(FileNameOf("/a/b/c.png"), "c.png");
    EXPECT_EQ(FileNameOf("plain"), "plain");
}

TEST_F(OpenSaveTest, ANameWithoutEndingGetsTheEndingOfTheChosenType) {
    MakeImage(3, 3);
    ImageState.CurrentPath = PathOf("old.jpg");
    dialogs.replies = {{PathOf("typed"), 2}};  // the third type of the JPEG-first list: BMP
    EXPECT_EQ(SaveImage(true), 1);
    EXPECT_EQ(dialogs.requests[0].initialName, PathOf("old.jpg"));
    EXPECT_EQ(ImageState.CurrentPath, PathOf("typed.bmp"));
    std::ifstream in(PathOf("typed.bmp"), std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    EXPECT_EQ(std::string(magic, 2), "BM");
}

TEST_F(OpenSaveTest, ADocumentNoWriterTakesIsOfferedAsPng) {
    MakeImage(3, 3);
    ImageState.CurrentPath = PathOf("drawing.gif");
    ImageState.ImageModified = 1;
    EXPECT_EQ(SaveImage(false), 0);  // the dialog is cancelled
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].initialName, PathOf("drawing.png"));
    EXPECT_EQ(dialogs.requests[0].typeList.rfind("PNG File", 0), 0u);
    EXPECT_EQ(ImageState.CurrentPath, PathOf("drawing.gif"));
    EXPECT_EQ(ImageState.ImageModified, 1);

    dialogs.replies = {{PathOf("kept.gif"), -1}};
    EXPECT_EQ(SaveImage(true), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_NE(messages.shown[0].text.find("kept.gif"), std::string::npos);
    EXPECT_FALSE(fs::exists(PathOf("kept.gif")));
}

TEST_F(OpenSaveTest, AFailedWriteKeepsTheQuestionAndTheList) {
    MakeImage(3, 3);
    ImageState.ImageModified = 1;
    const std::string unwritable = PathOf("no/such/folder/x.png");
    dialogs.replies = {{unwritable, 0}};
    EXPECT_EQ(SaveImage(true), 0);
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_TRUE(ImageState.CurrentPath.empty());
    EXPECT_FALSE(settings.Contains("File1"));
    EXPECT_FALSE(messages.shown.empty());  // the writer said why
    // And so the save question still comes, and a failed save there cancels the exit.
    messages.shown.clear();
    messages.answers = {platform::MessageResult::Yes};
    dialogs.replies = {{unwritable, 0}};
    EXPECT_EQ(PromptSaveChanges(), 0);
}

TEST_F(OpenSaveTest, OpeningAFileMakesItTheDocument) {
    MakeImage(10, 10);
    ImageState.ImageModified = 1;
    ImageState.ZoomFactor = 4.0f;
    const std::string path = WriteSample("sample.png");
    ASSERT_EQ(OpenImageAt(path), 1);
    const ImageBox& box = CurrentBox();
    EXPECT_EQ(box.width, 3);
    EXPECT_EQ(box.height, 2);
    EXPECT_EQ(WorkPixel(2, 1), kRed);
    EXPECT_EQ(WorkPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(ImageState.CurrentPath, path);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_EQ(ImageState.ZoomFactor, 1.0f);
    EXPECT_EQ(Stored("File1"), path);
    EXPECT_EQ(RecentLabels(), std::vector<std::string>{"sample.png"});
    // Only the new document's window is left.
    EXPECT_EQ(windows.LiveWindows().size(), 1u);
    EXPECT_EQ(windows.LiveWindows()[0], box.window);
}

TEST_F(OpenSaveTest, AFileThatIsNoImageLeavesEverythingAsItWas) {
    ImageBox& before = MakeImage(5, 5);
    SetWorkPixel(1, 1, kRed);
    ImageState.CurrentPath = PathOf("mine.png");
    ImageState.ImageModified = 1;
    const std::string junk = PathOf("junk.png");
    std::ofstream(junk) << "this is not a picture";
    EXPECT_EQ(OpenImageAt(junk), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("junk.png"), std::string::npos);
    EXPECT_NE(messages.shown[0].text, "There is not enough memory to create the bitmap.");
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(&CurrentBox(), &before);
    EXPECT_EQ(WorkPixel(1, 1), kRed);
    EXPECT_EQ(ImageState.CurrentPath, PathOf("mine.png"));
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_FALSE(settings.Contains("File1"));
}

TEST_F(OpenSaveTest, OpenCommandUsesTheOpenListAndCancelChangesNothing) {
    MakeImage(5, 5);
    OpenImage();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_FALSE(dialogs.requests[0].save);
    EXPECT_EQ(dialogs.requests[0].title, "Load Image");
    EXPECT_EQ(dialogs.requests[0].initialName, "");
    EXPECT_EQ(dialogs.requests[0].typeList,
              "All Image Files|*.2bp;*.bmp;*.gif;*.jpg;*.jpeg;*.jpe;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif;*.avif;"
              "*.2BP;*.BMP;*.GIF;*.JPG;*.JPEG;*.JPE;*.PNG;*.WEBP;*.TIF;*.TIFF;*.HEIC;*.HEIF;*.AVIF|"
              "Bitmap Files|*.bmp;*.BMP|GIF Files|*.gif;*.GIF|JPEG Files|*.jpg;*.jpeg;*.jpe;*.JPG;*.JPEG;*.JPE|"
              "PNG Files|*.png;*.PNG|2BP Files|*.2bp;*.2BP|WebP Files|*.webp;*.WEBP|"
              "TIFF Files|*.tif;*.tiff;*.TIF;*.TIFF|HEIF Files|*.heic;*.heif;*.HEIC;*.HEIF|AVIF Files|*.avif;*.AVIF|");
    EXPECT_EQ(CurrentBox().width, 5);

    const std::string path = WriteSample("picked.png");
    dialogs.replies = {{path, 0}};
    OpenImage();
    EXPECT_EQ(ImageState.CurrentPath, path);
    EXPECT_EQ(CurrentBox().width, 3);
}

TEST_F(OpenSaveTest, ReloadingASavedJpegGivesTheCompressedPixelsNotThePaintedOnes) {
    ImageBox& box = MakeImage(16, 16);
    raster::FillRect(*box.workDc, {0, 0, 8, 8}, kRed);
    const std::string path = PathOf("photo.jpg");
    dialogs.replies = {{path, 0}};
    ASSERT_EQ(SaveImage(true), 1);
    SetWorkPixel(12, 12, 0xFF0000);  // painted after the save
    ASSERT_EQ(LoadImageFile(path), 1);
    EXPECT_EQ(CurrentBox().width, 16);
    const raster::Colour red = WorkPixel(3, 3);
    EXPECT_GT(raster::RedOf(red), 240);
    EXPECT_LT(raster::GreenOf(red), 16);
    const raster::Colour white = WorkPixel(12, 12);
    EXPECT_GT(raster::BlueOf(white), 240);
    EXPECT_GT(raster::RedOf(white), 240);
}

TEST_F(OpenSaveTest, SaveWritesTheFloatingPieceWhereItFloatsAndKeepsItFloating) {
    MakeImage(6, 4);
    // A 3 x 2 red piece, one pixel outside its mask and one in the background colour, half
    // beyond the right edge.
    ASSERT_EQ(CreateFloatingPiece(3, 2), 1);
    raster::FillRect(*FloatingPiece.pieceDc, {0, 0, 3, 2}, kRed);
    raster::SetPixel(*FloatingPiece.pieceDc, 1, 1, 0xFFFFFF);
    for (int y = 0; y < 2; ++y) std::fill_n(FloatingPiece.maskBitmap->Row(y), 3, kMaskInside);
    FloatingPiece.maskBitmap->Row(0)[1] = kMaskOutside;
    FloatingPiece.pieceX = 4;
    FloatingPiece.pieceY = 1;
    PaintSettings.Tool = kToolFloatingPiece;
    PaintSettings.Trans = 1;
    PaintSettings.BColor = 0xFFFFFF;
    SetWorkPixel(5, 2, 0x00FF00);  // under the piece's background-coloured pixel

    const std::string path = PathOf("piece.png");
    dialogs.replies = {{path, 0}};
    ASSERT_EQ(SaveImage(true), 1);
    const std::unique_ptr<PixelBuffer> saved = platform::DecodeImageFile(path, PaintSettings.BColor).image;
    ASSERT_TRUE(saved);
    const auto at = [&](int x, int y) {
        const std::uint8_t* p = saved->Row(y) + 3 * x;
        return raster::MakeColour(p[2], p[1], p[0]);
    };
    EXPECT_EQ(at(4, 1), kRed);
    EXPECT_EQ(at(5, 1), 0xFFFFFFu);  // outside the mask
    EXPECT_EQ(at(4, 2), kRed);
    EXPECT_EQ(at(5, 2), 0x00FF00u);  // left out as the background colour
    EXPECT_EQ(at(3, 1), 0xFFFFFFu);

    // The document itself is untouched and the piece still floats.
    EXPECT_EQ(WorkPixel(4, 1), 0xFFFFFFu);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_TRUE(FloatingPiece.pieceDc);

    // Once dropped (any other tool), the work buffer is the picture.
    PaintSettings.Tool = kToolSelectRectangle;
    dialogs.replies = {{path, 0}};
    ASSERT_EQ(SaveImage(true), 1);
    const std::unique_ptr<PixelBuffer> plain = platform::DecodeImageFile(path, PaintSettings.BColor).image;
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->Row(1)[3 * 4 + 2], 255);
    EXPECT_EQ(plain->Row(1)[3 * 4 + 1], 255);
}

TEST_F(OpenSaveTest, ADamagedFileOpensUntitledWithAWarningAndSaveAsksForAName) {
    MakeImage(5, 5);
    ImageState.CurrentPath = PathOf("before.png");
    PaintSettings.BColor = raster::MakeColour(9, 8, 7);
    const std::string path = WriteCutPng(PathOf("cut.png"), 0.5);
    const std::string damagedBytes = [&] {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();

    ASSERT_EQ(OpenImageAt(path), 1);
    EXPECT_EQ(CurrentBox().width, 40);
    EXPECT_EQ(CurrentBox().height, 30);
    EXPECT_EQ(WorkPixel(39, 29), raster::MakeColour(9, 8, 7));  // never read: the background
    EXPECT_TRUE(ImageState.CurrentPath.empty());
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_FALSE(settings.Contains("File1"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "\"" + path +
                                          "\" is damaged: the picture may be incomplete.\nWhat could be read is "
                                          "opened as an untitled picture, so that saving it cannot overwrite the "
                                          "damaged file.");
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Warning);

    // Save asks for a name, proposing a new one; cancelling it writes nothing.
    EXPECT_EQ(SaveImage(false), 0);
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].initialName, "untitled.png");
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), damagedBytes);
}

TEST_F(OpenSaveTest, RevertingToAFileThatHasSinceBeenDamagedLeavesThePictureUntitled) {
    MakeImage(5, 5);
    const std::string path = WriteCutPng(PathOf("later.png"), 0.7);
    ImageState.CurrentPath = path;
    ASSERT_EQ(LoadImageFile(path), 1);
    EXPECT_EQ(CurrentBox().width, 40);
    EXPECT_TRUE(ImageState.CurrentPath.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Warning);
}

TEST_F(OpenSaveTest, AFileThatCannotBeOpenedSaysWhy) {
    ImageBox& before = MakeImage(5, 5);
    ImageState.CurrentPath = PathOf("mine.png");
    EXPECT_EQ(OpenImageAt(PathOf("absent.png")), 0);
    EXPECT_EQ(OpenImageAt(folder.string()), 0);
    std::ofstream(PathOf("words.png")) << "not a picture";
    EXPECT_EQ(OpenImageAt(PathOf("words.png")), 0);
    ASSERT_EQ(messages.shown.size(), 3u);
    EXPECT_EQ(messages.shown[0].text, "Cannot open \"" + PathOf("absent.png") + "\": there is no such file.");
    EXPECT_EQ(messages.shown[1].text, "Cannot open \"" + folder.string() + "\": it is a folder, not a file.");
    EXPECT_EQ(messages.shown[2].text, "\"" + PathOf("words.png") + "\" is not an image, or the file is damaged.");
    for (const auto& shown : messages.shown) {
        EXPECT_EQ(shown.caption, "Error");
        EXPECT_EQ(shown.icon, platform::MessageIcon::Stop);
    }
    if (geteuid() != 0) {  // the superuser reads every file
        const std::string locked = WriteCutPng(PathOf("locked.png"), 1.0);
        fs::permissions(locked, fs::perms::none);
        EXPECT_EQ(OpenImageAt(locked), 0);
        EXPECT_EQ(messages.shown.back().text, "Cannot open \"" + locked + "\": you have no permission to read it.");
    }
    EXPECT_EQ(&CurrentBox(), &before);
    EXPECT_EQ(ImageState.CurrentPath, PathOf("mine.png"));
}

}  // namespace
