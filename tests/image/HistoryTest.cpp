#include "image/History.h"

#include <cstring>
#include <random>
#include <vector>

#include "image/ToolIds.h"
#include "support/DocumentFixture.h"

namespace {

class HistoryStore : public DocumentFixture {
protected:
    static std::vector<std::uint8_t> Bytes(const PixelBuffer* buffer) {
        return std::vector<std::uint8_t>(buffer->Bits(), buffer->Bits() + buffer->ByteSize());
    }
    static std::vector<std::uint8_t> Picture() { return Bytes(CurrentBox().workBitmap); }

    static void Scribble(PixelBuffer& buffer, unsigned seed) {
        std::mt19937 random(seed);
        for (std::size_t i = 0; i < buffer.ByteSize(); ++i) buffer.Bits()[i] = static_cast<std::uint8_t>(random());
    }

    // Paints a small square as a stroke would: undo copy first, then the pixels.
    static void Dab(int x, int y, raster::Colour colour) {
        TakeImageUndo();
        for (int dy = 0; dy < 3; ++dy) {
            for (int dx = 0; dx < 3; ++dx) SetWorkPixel(x + dx, y + dy, colour);
        }
    }

    // A floating piece of 4 x 4 at (x, y), made as a selection makes one.
    static void FloatPiece(int x, int y) {
        TakeImageUndo();
        ASSERT_EQ(CreateFloatingPiece(4, 4), 1);
        std::memset(FloatingPiece.maskBitmap->Bits(), kMaskInside, FloatingPiece.maskBitmap->ByteSize());
        std::memset(FloatingPiece.pieceBitmap->Bits(), 0x40, FloatingPiece.pieceBitmap->ByteSize());
        FloatingPiece.pieceX = FloatingPiece.savedPieceX = x;
        FloatingPiece.pieceY = FloatingPiece.savedPieceY = y;
        PaintSettings.Tool = kToolFloatingPiece;
    }
};

TEST_F(HistoryStore, EveryStateComesBackByteForByteWhateverTheSize) {
    // Widths whose rows are padded, tiles cut short at the right and at the bottom, one tile, many.
    const int sizes[][2] = {{1, 1}, {3, 5}, {65, 130}, {130, 64}, {203, 77}};
    for (const auto& size : sizes) {
        ResetProgramState();
        MakeImage(size[0], size[1]);
        Scribble(*CurrentBox().workBitmap, 1);
        std::vector<std::vector<std::uint8_t>> seen{Picture()};
        for (unsigned step = 0; step < 3; ++step) {
            Dab(static_cast<int>(step * 40) % size[0], size[1] / 2, raster::MakeColour(200, 10 * step, 5));
            Scribble(*CurrentBox().workBitmap, 2 + step);
            ASSERT_TRUE(RecordHistoryStep("Scribble", "s"));
            seen.push_back(Picture());
        }
        WaitForHistoryCompression();
        for (int k = 2; k >= 0; --k) {
            ASSERT_TRUE(StepBackward());
            EXPECT_EQ(Picture(), seen[static_cast<std::size_t>(k)]) << size[0] << "x" << size[1] << " back to " << k;
        }
        EXPECT_FALSE(StepBackward());
        for (std::size_t k = 1; k < seen.size(); ++k) {
            ASSERT_TRUE(StepForward());
            EXPECT_EQ(Picture(), seen[k]) << size[0] << "x" << size[1] << " forward to " << k;
        }
        EXPECT_FALSE(StepForward());
    }
}

TEST_F(HistoryStore, ASizeChangeStepsBackToTheOldSizeAndPixels) {
    MakeImage(100, 70);
    Scribble(*CurrentBox().workBitmap, 7);
    const std::vector<std::uint8_t> before = Picture();
    TakeImageUndo();
    ImageBox& box = CurrentBox();
    // The undo buffer becomes the work buffer after a resize.
    std::swap(box.workDc, box.undoDc);
    std::swap(box.workBitmap, box.undoBitmap);
    raster::BitmapInfo header;
    box.workDc = MakeBufferContext(31, 200, 24, header, box.workBitmap);
    Scribble(*box.workBitmap, 8);
    box.width = 31;
    box.height = 200;
    const std::vector<std::uint8_t> after = Picture();
    ASSERT_TRUE(RecordHistoryStep("Image Size", "size=31,200"));
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(CurrentBox().width, 100);
    EXPECT_EQ(CurrentBox().height, 70);
    EXPECT_EQ(Picture(), before);
    ASSERT_TRUE(StepForward());
    EXPECT_EQ(CurrentBox().width, 31);
    EXPECT_EQ(CurrentBox().height, 200);
    EXPECT_EQ(Picture(), after);
}

TEST_F(HistoryStore, NothingChangedIsNoStepAndItsWordsWaitForTheNext) {
    MakeImage(50, 50);
    TakeImageUndo();  // an undo copy alone changes nothing
    EXPECT_FALSE(RecordHistoryStep("Polygon", "tool=12 stroke=1,1"));
    KeepHistoryWords("tool=12 stroke=1,1");
    EXPECT_FALSE(CanStepBackward());
    Dab(10, 10, raster::MakeColour(255, 0, 0));
    ASSERT_TRUE(RecordHistoryStep("Polygon", "double-tap=5,5"));
    EXPECT_EQ(HistoryStateCount(), 2u);
    EXPECT_EQ(StepBackwardLabel(), "Polygon");
    EXPECT_EQ(HistoryStepWords(1), "tool=12 stroke=1,1 double-tap=5,5");
}

TEST_F(HistoryStore, UnchangedTilesAreSharedSoASmallChangeCostsAFewTiles) {
    MakeImage(640, 640);  // 100 tiles
    Scribble(*CurrentBox().workBitmap, 3);
    EnsureHistoryBase();
    WaitForHistoryCompression();
    const std::size_t base = HistoryMemory();
    Dab(100, 100, raster::MakeColour(0, 0, 255));  // inside one tile
    ASSERT_TRUE(RecordHistoryStep("Pen Stroke", ""));
    const std::size_t oneTileRaw = 64 * 64 * 3;
    EXPECT_LE(HistoryMemory() - base, oneTileRaw);
    EXPECT_GT(HistoryMemory(), base);
}

// The document whole: picture, piece and mask bytes, and the piece's place.
struct DocumentBytes {
    std::vector<std::uint8_t> picture, piece, mask;
    std::int32_t pieceX = 0, pieceY = 0;
    bool operator==(const DocumentBytes&) const = default;
};

DocumentBytes Document() {
    const FloatingPieceRecord& p = FloatingPiece;
    const auto bytes = [](const PixelBuffer* b) {
        return b ? std::vector<std::uint8_t>(b->Bits(), b->Bits() + b->ByteSize()) : std::vector<std::uint8_t>{};
    };
    const bool held = p.pieceBitmap != nullptr;
    return DocumentBytes{bytes(CurrentBox().workBitmap), bytes(p.pieceBitmap), bytes(p.maskBitmap),
                         held ? p.pieceX : 0, held ? p.pieceY : 0};
}

TEST_F(HistoryStore, SharedUniformAndLaterHashedTilesGiveBackEachStateAfterTheBuffersChanged) {
    // A selection as large as the picture shares the picture's tiles, its hole and its mask are
    // one tile each; a smaller one is new tiles whose hashes are made later, by the compressor
    // or by the next step. Each is followed by changes to the piece and to the picture.
    struct Case {
        int width, height;      // padded rows, tiles cut short, one tile, many
        int pieceX, pieceY, pieceWidth, pieceHeight;
        bool compressedBetween;  // the compressor done before each next step, or not yet
    };
    const Case cases[] = {
        {256, 192, 0, 0, 256, 192, true},  {256, 192, 0, 0, 256, 192, false}, {203, 130, 0, 0, 203, 130, false},
        {203, 130, 5, 7, 150, 100, true},  {203, 130, 5, 7, 150, 100, false}, {40, 30, 1, 2, 20, 10, false},
        // Holes down to the bottom: tiles whose first stored rows are hole and later ones not.
        {203, 130, 0, 40, 203, 90, false}, {256, 192, 0, 100, 256, 92, true},
    };
    for (const Case& c : cases) {
        ResetProgramState();
        MakeImage(c.width, c.height);
        Scribble(*CurrentBox().workBitmap, 21);
        EnsureHistoryBase();
        WaitForHistoryCompression();
        const auto between = [&] {
            if (c.compressedBetween) WaitForHistoryCompression();
        };
        std::vector<DocumentBytes> seen{Document()};
        const std::size_t base = HistoryMemory();

        // The lift: the piece from the picture, a hole in the background colour, a full mask.
        TakeImageUndo();
        ASSERT_EQ(CreateFloatingPiece(c.pieceWidth, c.pieceHeight), 1);
        FloatingPieceRecord& p = FloatingPiece;
        for (int y = 0; y < c.pieceHeight; ++y) {
            std::memcpy(p.pieceBitmap->Row(y), CurrentBox().workBitmap->Row(c.pieceY + y) + 3 * c.pieceX,
                        static_cast<std::size_t>(3 * c.pieceWidth));
        }
        std::memset(p.maskBitmap->Bits(), kMaskInside, p.maskBitmap->ByteSize());
        raster::FillRect(*CurrentBox().workDc,
                         raster::Rect{c.pieceX, c.pieceY, c.pieceX + c.pieceWidth, c.pieceY + c.pieceHeight},
                         raster::MakeColour(255, 255, 255));
        p.pieceX = p.savedPieceX = c.pieceX;
        p.pieceY = p.savedPieceY = c.pieceY;
        PaintSettings.Tool = kToolFloatingPiece;
        ASSERT_TRUE(RecordHistoryStep("Select", ""));
        seen.push_back(Document());
        if (c.pieceWidth == c.width && c.pieceHeight == c.height && c.width % 64 == 0 && c.height % 64 == 0) {
            // Shared piece, one tile of hole and one of mask: the lift costs two raw tiles.
            EXPECT_LE(HistoryMemory() - base, std::size_t{64 * 64 * 3 + 64 * 64}) << c.width;
        }
        between();

        // A change to one corner of the piece, then to one of the picture.
        TakePieceUndo();
        for (int y = 0; y < 3; ++y) p.pieceBitmap->Row(y)[0] ^= 0xFF;
        ASSERT_TRUE(RecordHistoryStep("Piece", ""));
        seen.push_back(Document());
        between();
        Dab(c.width - 3, c.height - 3, raster::MakeColour(1, 200, 3));
        ASSERT_TRUE(RecordHistoryStep("Picture", ""));
        seen.push_back(Document());
        between();

        for (int k = 2; k >= 0; --k) {
            ASSERT_TRUE(StepBackward());
            EXPECT_EQ(Document(), seen[static_cast<std::size_t>(k)]) << c.width << "x" << c.height << " back to " << k;
        }
        for (std::size_t k = 1; k < seen.size(); ++k) {
            ASSERT_TRUE(StepForward());
            EXPECT_EQ(Document(), seen[k]) << c.width << "x" << c.height << " forward to " << k;
        }
    }
}

TEST_F(HistoryStore, AUniformPictureCostsOneTileAndANewTilesHashIsTheOneItWasMadeFrom) {
    MakeImage(640, 640);  // 100 tiles of the background colour
    EnsureHistoryBase();
    EXPECT_LE(HistoryMemory(), std::size_t{64 * 64 * 3});  // raw, or packed already
    WaitForHistoryCompression();
    // A piece with nothing before it: its tiles' hashes come later, and a step after a change of
    // one tile still finds the other tiles unchanged.
    const std::size_t before = HistoryMemory();
    FloatPiece(3, 3);
    ASSERT_EQ(CreateFloatingPiece(300, 200), 1);
    Scribble(*FloatingPiece.pieceBitmap, 4);
    std::memset(FloatingPiece.maskBitmap->Bits(), kMaskInside, FloatingPiece.maskBitmap->ByteSize());
    ASSERT_TRUE(RecordHistoryStep("Select", ""));
    const std::size_t lifted = HistoryMemory();
    EXPECT_GT(lifted - before, std::size_t{300 * 200 * 3});
    TakePieceUndo();
    FloatingPiece.pieceBitmap->Row(150)[450] ^= 1;
    ASSERT_TRUE(RecordHistoryStep("Piece", ""));
    EXPECT_LE(HistoryMemory() - lifted, std::size_t{64 * 64 * 3});
}

TEST_F(HistoryStore, APictureThatComesBackIsTheTilesKeptAlready) {
    // A piece put down again gives the picture of two steps before: its tiles are found, not
    // copied, and every state still comes back byte for byte.
    MakeImage(320, 256);  // 20 tiles
    Scribble(*CurrentBox().workBitmap, 31);
    EnsureHistoryBase();
    const std::vector<std::uint8_t> original = Picture();
    TakeImageUndo();
    Scribble(*CurrentBox().workBitmap, 32);
    ASSERT_TRUE(RecordHistoryStep("Noise", ""));
    const std::vector<std::uint8_t> noise = Picture();
    WaitForHistoryCompression();
    const std::size_t before = HistoryMemory();
    TakeImageUndo();
    std::memcpy(CurrentBox().workBitmap->Bits(), original.data(), original.size());
    ASSERT_TRUE(RecordHistoryStep("Back", ""));
    EXPECT_EQ(HistoryMemory(), before);
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(Picture(), noise);
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(Picture(), original);
    ASSERT_TRUE(StepForward());
    ASSERT_TRUE(StepForward());
    EXPECT_EQ(Picture(), original);
}

TEST_F(HistoryStore, TheBudgetDropsTheOldestStepsNeverTheOneShown) {
    MakeImage(256, 256);
    for (unsigned k = 0; k < 6; ++k) {
        TakeImageUndo();
        Scribble(*CurrentBox().workBitmap, 10 + k);  // incompressible: every step costs the whole picture
        ASSERT_TRUE(RecordHistoryStep("Noise", ""));
    }
    WaitForHistoryCompression();
    const std::size_t picture = 256 * 256 * 3;
    SetHistoryBudget(3 * picture + picture / 2);
    EXPECT_EQ(HistoryStateCount(), 3u);
    EXPECT_LE(HistoryMemory(), 3 * picture + picture / 2);
    SetHistoryBudget(1);
    EXPECT_EQ(HistoryStateCount(), 1u);
    EXPECT_FALSE(CanStepBackward());
    EXPECT_EQ(CurrentBox().workBitmap->Bits()[0], Picture()[0]);
}

TEST_F(HistoryStore, TheModifiedFlagFollowsTheStateLastSavedAndANewEditDropsTheStepsAhead) {
    MakeImage(40, 40);
    ImageState.ImageModified = 0;  // as opened
    Dab(1, 1, raster::MakeColour(1, 2, 3));
    RecordHistoryStep("A", "");
    Dab(5, 5, raster::MakeColour(4, 5, 6));
    RecordHistoryStep("B", "");
    EXPECT_EQ(ImageState.ImageModified, 1);
    MarkHistorySaved();  // saved at B
    ImageState.ImageModified = 0;
    const std::uint64_t edits = ImageState.EditCount;
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_GT(ImageState.EditCount, edits);  // a step changes the document as an edit does
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(ImageState.ImageModified, 1);  // the opened file was saved over
    ASSERT_TRUE(StepForward());
    ASSERT_TRUE(StepForward());
    EXPECT_EQ(ImageState.ImageModified, 0);
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(StepForwardLabel(), "B");
    Dab(20, 20, raster::MakeColour(7, 8, 9));
    ASSERT_TRUE(RecordHistoryStep("C", ""));
    EXPECT_FALSE(CanStepForward());
    EXPECT_EQ(StepBackwardLabel(), "C");
    EXPECT_EQ(HistoryStateCount(), 3u);
    ASSERT_TRUE(StepBackward());
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(ImageState.ImageModified, 1);  // B, the saved state, is gone
}

TEST_F(HistoryStore, AChangeThatEscapedAStepIsRecordedBeforeSteppingSoNothingIsLost) {
    MakeImage(40, 40);
    Dab(1, 1, raster::MakeColour(1, 2, 3));
    RecordHistoryStep("A", "");
    Dab(9, 9, raster::MakeColour(9, 9, 9));  // no step recorded
    const std::vector<std::uint8_t> escaped = Picture();
    ASSERT_TRUE(StepBackward());
    ASSERT_TRUE(StepForward());
    EXPECT_EQ(Picture(), escaped);
}

TEST_F(HistoryStore, AFloatingPieceComesBackAfloatWhereItWasAndUndoMovesItToItsSavedPlace) {
    MakeImage(64, 64);
    RecordHistoryStep("Nothing", "");
    FloatPiece(10, 12);
    ASSERT_TRUE(RecordHistoryStep("Select Rectangle", ""));
    FloatingPiece.pieceX = 30;  // dragged
    ASSERT_TRUE(RecordHistoryStep("Move Selection", ""));
    TakeImageUndo();
    PastePieceThroughMask(*CurrentBox().workBitmap, 30, 12, *FloatingPiece.pieceBitmap, *FloatingPiece.maskBitmap,
                          false, 0);
    PaintSettings.Tool = kToolSelectRectangle;  // dropped by a tap outside
    ASSERT_TRUE(RecordHistoryStep("Drop Selection", ""));

    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 30);
    EXPECT_EQ(FloatingPiece.savedPieceX, 10);
    EXPECT_EQ(Picture(), Bytes(CurrentBox().undoBitmap));  // the undo copy is the clean picture shown
    Undo();
    EXPECT_EQ(FloatingPiece.pieceX, 10);  // Undo of a drag, as always
    EXPECT_TRUE(RecordHistoryStep("Undo", "undo"));
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(FloatingPiece.pieceX, 30);

    ASSERT_TRUE(StepForward());
    EXPECT_EQ(FloatingPiece.pieceX, 10);
    EXPECT_FALSE(CanStepForward());  // the Undo step replaced the drop
    ASSERT_TRUE(StepBackward());
    ASSERT_TRUE(StepBackward());
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(FloatingPiece.pieceBitmap, nullptr);  // before the selection no piece was held
}

TEST_F(HistoryStore, UndoRightAfterAStepChangesNothing) {
    MakeImage(40, 40);
    Dab(1, 1, raster::MakeColour(1, 2, 3));
    RecordHistoryStep("A", "");
    Dab(4, 4, raster::MakeColour(3, 2, 1));
    RecordHistoryStep("B", "");
    ASSERT_TRUE(StepBackward());
    const std::vector<std::uint8_t> shown = Picture();
    Undo();
    EXPECT_EQ(Picture(), shown);
    Undo();
    EXPECT_EQ(Picture(), shown);
    EXPECT_FALSE(RecordHistoryStep("Undo", "undo"));
    EXPECT_TRUE(CanStepForward());
    // The next action takes its own undo copy, and Undo takes it back as always.
    Dab(20, 20, raster::MakeColour(9, 9, 9));
    Undo();
    EXPECT_EQ(Picture(), shown);
}

TEST_F(HistoryStore, ANewImageStartsAFreshHistory) {
    MakeImage(40, 40);
    Dab(1, 1, raster::MakeColour(1, 2, 3));
    RecordHistoryStep("A", "");
    EXPECT_TRUE(CanStepBackward());
    FreeImageBox(ImageState.CurrentImage);
    MakeImage(20, 20);
    EXPECT_FALSE(CanStepBackward());
    EXPECT_EQ(HistoryStateCount(), 0u);
}

}  // namespace
