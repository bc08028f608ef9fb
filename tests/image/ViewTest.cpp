#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

#include "image/ToolIds.h"
#include "platform/raster/ParallelRows.h"
#include "support/DocumentFixture.h"

namespace {

class ViewTest : public DocumentFixture {
protected:
    // A picture of noise with its undo copy equal to it, and a 15 x 11 piece of noise held,
    // some of its pixels in the background colour and some of its mask outside: all from one
    // generator started at seed.
    ImageBox& NoisyImageWithPiece(std::uint32_t seed, int width = 37, int height = 29) {
        ImageBox& box = MakeImage(width, height);
        const auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) SetWorkPixel(x, y, next() & 0xFFFFFF);
        }
        CopyPixels(box.undoBitmap, box.workBitmap);
        if (CreateFloatingPiece(15, 11) != 1) {
            ADD_FAILURE() << "no piece was made";
            return box;
        }
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 15; ++x) {
                raster::SetPixel(*FloatingPiece.pieceDc, x, y, (next() >> 8) % 4 == 0 ? PaintSettings.BColor : next() & 0xFFFFFF);
                FloatingPiece.maskBitmap->Row(y)[x] = (next() >> 9) % 5 == 0 ? kMaskOutside : kMaskInside;
            }
        }
        return box;
    }
};

constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kGray = 0x808080;
constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kWhite = 0xFFFFFF;

std::unique_ptr<raster::DrawingContext> Surface(int width, int height) {
    raster::BitmapInfo header;
    std::uint8_t* bits = nullptr;
    auto dc = std::make_unique<raster::DrawingContext>(CreatePixelBuffer(width, height, 24, header, &bits));
    raster::FillRect(*dc, {0, 0, width, height}, kBlack);
    return dc;
}

TEST_F(ViewTest, HalfZoomLeavesGrayBeyondTheImage) {
    ImageBox& box = MakeImage(100, 100);
    raster::FillRect(*box.workDc, {0, 0, 100, 100}, kRed);
    ImageState.ZoomFactor = 0.5f;
    auto dc = Surface(240, 200);
    PaintView(*dc, box);
    EXPECT_EQ(raster::GetPixel(*dc, 0, 0), kRed);
    EXPECT_EQ(raster::GetPixel(*dc, 49, 49), kRed);
    EXPECT_EQ(raster::GetPixel(*dc, 50, 0), kGray);
    EXPECT_EQ(raster::GetPixel(*dc, 239, 10), kGray);
    EXPECT_EQ(raster::GetPixel(*dc, 10, 50), kGray);
    EXPECT_EQ(raster::GetPixel(*dc, 239, 199), kGray);
}

TEST_F(ViewTest, ScrolledViewStartsAtTheScrollPositionAndFillsTheRestGray) {
    ImageBox& box = MakeImage(300, 50);
    for (int x = 0; x < 300; ++x) raster::SetPixel(*box.workDc, x, 0, raster::MakeColour(x % 256, x / 256, 1));
    box.scrollX = 100;
    auto dc = Surface(240, 60);
    PaintView(*dc, box);
    EXPECT_EQ(raster::GetPixel(*dc, 0, 0), raster::MakeColour(100, 0, 1));
    EXPECT_EQ(raster::GetPixel(*dc, 199, 0), raster::MakeColour(43, 1, 1));  // column 299
    EXPECT_EQ(raster::GetPixel(*dc, 200, 0), kGray);
    EXPECT_EQ(raster::GetPixel(*dc, 0, 50), kGray);
}

TEST_F(ViewTest, OneThirdZoomShowsThreeImageColumnsPerWindowPixel) {
    const float third = ZoomCommandFactor(3203, 1.0f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(third), 0x3EAAAAABu);
    EXPECT_EQ(1.0f / third, 3.0f);
    ImageBox& box = MakeImage(720, 9);
    for (int x = 0; x < 720; ++x) raster::SetPixel(*box.workDc, x, 0, raster::MakeColour(x % 256, x / 256, 9));
    ImageState.ZoomFactor = third;
    auto dc = Surface(240, 3);
    PaintView(*dc, box);
    for (int x : {0, 1, 2, 100, 239}) {
        EXPECT_EQ(raster::GetPixel(*dc, x, 0), raster::MakeColour((3 * x) % 256, (3 * x) / 256, 9)) << x;
    }
    EXPECT_EQ(raster::GetPixel(*dc, 239, 2), raster::GetPixel(*box.workDc, 717, 6));
}

TEST_F(ViewTest, ScrollBarsOfAnImageThatFits) {
    const ScrollBarLayout s = ComputeScrollBars(242, 230, false, 13, 240, 228, 1.0f, 0, 0, 0.0f, 0.0f);
    EXPECT_EQ(s.maxX, 0);
    EXPECT_EQ(s.maxY, 0);
    EXPECT_EQ(s.pageX, 241);
    EXPECT_EQ(s.pageY, 228);
    EXPECT_EQ(s.rangeX, 240);
    EXPECT_EQ(s.rangeY, 228);
    // A colour bar beside the canvas takes one more pixel.
    EXPECT_EQ(ComputeScrollBars(242, 230, true, 13, 240, 228, 1.0f, 0, 0, 0.0f, 0.0f).pageX, 240);
}

TEST_F(ViewTest, ScrollBarsWithoutTargetKeepThePositionsButClampThem) {
    const ScrollBarLayout s = ComputeScrollBars(242, 230, false, 13, 1000, 1000, 1.0f, 900, 10, 0.0f, 0.0f);
    // Both bars: 241 - 13 wide, 228 - 13 high.
    EXPECT_EQ(s.pageX, 228);
    EXPECT_EQ(s.pageY, 215);
    EXPECT_EQ(s.maxX, 772);
    EXPECT_EQ(s.maxY, 785);
    EXPECT_EQ(s.scrollX, 772);
    EXPECT_EQ(s.scrollY, 10);
}

TEST_F(ViewTest, AVerticalBarCanMakeTheHorizontalOneNeeded) {
    const ScrollBarLayout s = ComputeScrollBars(242, 230, false, 13, 235, 300, 1.0f, 0, 0, 0.0f, 0.0f);
    EXPECT_EQ(s.pageX, 228);
    EXPECT_EQ(s.pageY, 215);
    EXPECT_EQ(s.maxX, 7);
    EXPECT_EQ(s.maxY, 85);
    // Only the vertical one when the width still fits beside it.
    const ScrollBarLayout t = ComputeScrollBars(242, 230, false, 13, 228, 300, 1.0f, 0, 0, 0.0f, 0.0f);
    EXPECT_EQ(t.pageY, 228);
    EXPECT_EQ(t.maxX, 0);
}

TEST_F(ViewTest, ScrollBarTargetsAreFractionsOfTheRange) {
    const ScrollBarLayout s = ComputeScrollBars(242, 230, false, 13, 1000, 1000, 1.0f, 50, 60, 0.5f, 0.0f);
    EXPECT_EQ(s.scrollX, 386);
    EXPECT_EQ(s.scrollY, 0);  // one fraction given: both are set
    const ScrollBarLayout past = ComputeScrollBars(242, 230, false, 13, 1000, 1000, 1.0f, 0, 0, 1.5f, -0.25f);
    EXPECT_EQ(past.scrollX, 772);
    EXPECT_EQ(past.scrollY, 0);
}

TEST_F(ViewTest, ScrollPositionsOfALargeImageAtHighZoomDoNotOverflow) {
    const ScrollBarLayout s = ComputeScrollBars(1922, 1082, false, 17, 4000, 3000, 32.0f, 0, 0, 1.0f, 1.0f);
    EXPECT_EQ(s.maxX, 128000 - 1904);
    EXPECT_EQ(s.maxY, 96000 - 1063);
    EXPECT_EQ(s.scrollX, s.maxX);
    EXPECT_EQ(s.scrollY, s.maxY);
    EXPECT_EQ(s.rangeX, 128000);
}

TEST_F(ViewTest, SetupScrollBarsSetsTheWindowsBars) {
    ImageBox& box = MakeImage(1000, 500, 242, 230);
    SetupScrollBars(ImageState.CurrentImage, 1.0f, 1.0f);
    EXPECT_EQ(box.scrollX, 772);
    EXPECT_EQ(box.scrollY, 285);
    const platform::ScrollBarInfo h = CanvasWindow().GetScrollBar(platform::ScrollBarKind::Horizontal);
    EXPECT_EQ(h.min, 0);
    EXPECT_EQ(h.max, 1000);
    EXPECT_EQ(h.page, 228);
    EXPECT_EQ(h.position, 772);
    EXPECT_EQ(CanvasWindow().GetScrollBar(platform::ScrollBarKind::Vertical).position, 285);
}

TEST_F(ViewTest, ZoomCommandsDoubleHalveAndResetWithinBounds) {
    MakeImage(240, 228);
    ZoomCommand(3006);
    ZoomCommand(3006);
    EXPECT_EQ(ImageState.ZoomFactor, 4.0f);
    ZoomCommand(3008);
    EXPECT_EQ(ImageState.ZoomFactor, 1.0f);
    for (int i = 0; i < 12; ++i) ZoomCommand(3006);
    EXPECT_EQ(ImageState.ZoomFactor, 32.0f);
    for (int i = 0; i < 12; ++i) ZoomCommand(3007);
    EXPECT_EQ(ImageState.ZoomFactor, 0.125f);
    ZoomCommand(3210);
    EXPECT_EQ(ImageState.ZoomFactor, 8.0f);
    ZoomCommand(3201);
    EXPECT_EQ(ImageState.ZoomFactor, 0.125f);
    ZoomCommand(3206);
    EXPECT_EQ(ImageState.ZoomFactor, 1.0f);
    EXPECT_EQ(ClampZoom(std::nanf("")), 0.125f);
}

TEST_F(ViewTest, ZoomInKeepsTheCentreOfTheView) {
    // 240 x 228 in a canvas whose client area is 240 x 200 (vertical bar shown).
    ImageBox& box = MakeImage(240, 228, 255, 202);
    ASSERT_EQ(CanvasWindow().ClientRect().Width(), 240);
    ASSERT_EQ(CanvasWindow().ClientRect().Height(), 200);
    ZoomCommand(3006);
    EXPECT_EQ(box.anchorX, 120);
    EXPECT_EQ(box.anchorY, 100);
    const ScrollBarLayout expected =
        ComputeScrollBars(255, 202, false, 13, 240, 228, 2.0f, 0, 0, 0.5f, 100.0f / 228.0f);
    EXPECT_EQ(box.scrollX, expected.scrollX);
    EXPECT_EQ(box.scrollY, expected.scrollY);
    EXPECT_GT(box.scrollX, 0);
    // The window shows the new view: image pixel (scroll / 2) at its top-left.
    SetWorkPixel(box.scrollX / 2, box.scrollY / 2, kRed);
    RepaintView(true);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 0, 0), kRed);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 1, 1), kRed);
}

// A piece whose mask is inside everywhere with a one-pixel border ring.
void MakeRingPiece(int width, int height, raster::Colour colour) {
    ASSERT_EQ(CreateFloatingPiece(width, height), 1);
    raster::FillRect(*FloatingPiece.pieceDc, {0, 0, width, height}, colour);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool edge = x == 0 || y == 0 || x == width - 1 || y == height - 1;
            FloatingPiece.maskBitmap->Row(y)[x] = edge ? kMaskBorder : kMaskInside;
        }
    }
}

TEST_F(ViewTest, MovingBorderPatternAndItsStepPerDisplay) {
    MakeImage(20, 20);
    MakeRingPiece(10, 4, kRed);
    DrawPieceBorder(0, 0, 10, 4);
    EXPECT_EQ(ImageState.AntsPhase, 1u);
    // g = 255 when (phase - mx - my + w + h) mod 5 < 2, with w = 10 and h = 4.
    for (int mx = 0; mx < 10; ++mx) {
        const raster::Colour expected = (1 - mx + 14) % 5 < 2 ? kWhite : kBlack;
        EXPECT_EQ(WorkPixel(mx, 0), expected) << mx;
    }
    EXPECT_EQ(WorkPixel(0, 2), (1 - 2 + 14) % 5 < 2 ? kWhite : kBlack);
    EXPECT_EQ(WorkPixel(5, 2), kWhite);  // inside pixels are not touched (the image is white)
    EXPECT_EQ(CanvasWindow().TimerPeriod(2), 200);

    raster::Colour before[10];
    for (int mx = 0; mx < 10; ++mx) before[mx] = WorkPixel(mx, 0);
    DrawPieceBorder(0, 0, 10, 4);
    EXPECT_EQ(ImageState.AntsPhase, 2u);
    for (int mx = 1; mx < 10; ++mx) EXPECT_EQ(WorkPixel(mx, 0), before[mx - 1]) << mx;
}

TEST_F(ViewTest, MovingBorderOfAPiecePartlyOutsideStaysInsideTheImage) {
    MakeImage(6, 6);
    MakeRingPiece(4, 4, kRed);
    DrawPieceBorder(-2, 4, 4, 4);  // columns -2..1, rows 4..7
    // Phase 1; w = min(4, 6 + 2) = 4, h = min(4, 6 - 4) = 2; mask column 2 is image column 0.
    EXPECT_EQ(WorkPixel(0, 4), kWhite);  // (1 - 2 - 0 + 6) mod 5 = 0
    EXPECT_EQ(WorkPixel(1, 4), kBlack);  // 4
    EXPECT_EQ(WorkPixel(1, 5), kBlack);  // 3
    EXPECT_EQ(WorkPixel(0, 5), kWhite);  // inside the ring
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 6; ++x) {
            if (y >= 4 && x <= 1) continue;  // checked above
            EXPECT_EQ(WorkPixel(x, y), kWhite) << x << "," << y;
        }
    }
    DrawPieceBorder(40, 40, 4, 4);  // wholly outside: nothing drawn, the timer still runs
    EXPECT_EQ(CanvasWindow().TimerPeriod(2), 200);
}

TEST_F(ViewTest, ShownPieceLeavesTheImageCleanUnlessDropped) {
    ImageBox& box = MakeImage(20, 20, 40, 40);
    MakeRingPiece(4, 4, kRed);
    FloatingPiece.maskBitmap->Row(1)[1] = kMaskOutside;
    ShowPiece(nullptr, 5, 6, false);
    EXPECT_EQ(WorkPixel(6, 7), kWhite);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 7, 7), kRed);     // inside
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 6, 7), kWhite);   // mask 0: the image shows
    const raster::Colour border = SurfacePixel(CanvasWindow(), 5, 6);
    EXPECT_TRUE(border == kWhite || border == kBlack);

    ShowPiece(&box.window->GetDC(), 5, 6, true);
    EXPECT_EQ(WorkPixel(7, 7), kRed);
    EXPECT_EQ(WorkPixel(5, 6), kRed);  // dropped: no border, the piece's own pixels
    EXPECT_EQ(WorkPixel(6, 7), kWhite);
}

TEST_F(ViewTest, TransparentPasteSkipsTheBackgroundColour) {
    MakeImage(8, 8);
    raster::FillRect(*CurrentBox().workDc, {0, 0, 8, 8}, kRed);
    MakeRingPiece(3, 3, kWhite);
    raster::SetPixel(*FloatingPiece.pieceDc, 1, 1, kBlack);
    PaintSettings.Trans = 1;
    ShowPiece(nullptr, 2, 2, true);
    EXPECT_EQ(WorkPixel(2, 2), kRed);
    EXPECT_EQ(WorkPixel(3, 3), kBlack);
    PaintSettings.Trans = 0;
    ShowPiece(nullptr, 2, 2, true);
    EXPECT_EQ(WorkPixel(2, 2), kWhite);
}

TEST_F(ViewTest, PasteClipsAtEveryEdge) {
    auto target = Surface(5, 5);
    raster::BitmapInfo header;
    std::uint8_t* bits = nullptr;
    auto piece = CreatePixelBuffer(3, 3, 24, header, &bits);
    std::memset(bits, 0xFF, piece->ByteSize());
    auto mask = CreatePixelBuffer(3, 3, 8, header, &bits);
    std::memset(bits, kMaskInside, mask->ByteSize());
    for (auto [x, y] : {std::pair{-2, -2}, std::pair{4, 4}, std::pair{-2, 4}, std::pair{4, -2}}) {
        PastePieceThroughMask(*target->SelectedBitmap(), x, y, *piece, *mask, false, 0);
    }
    int white = 0;
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) white += raster::GetPixel(*target, x, y) == kWhite;
    }
    EXPECT_EQ(white, 4);
    EXPECT_EQ(raster::GetPixel(*target, 0, 0), kWhite);
    EXPECT_EQ(raster::GetPixel(*target, 4, 4), kWhite);
    EXPECT_EQ(raster::GetPixel(*target, 0, 4), kWhite);
    EXPECT_EQ(raster::GetPixel(*target, 4, 0), kWhite);
}


// The piece shown without dropping is drawn over the view, not into the image: the view must
// be what painting the piece and its border into a copy of the image would show, at every
// zoom and scroll position, with the piece partly off the image and with Trans on or off, and
// with views large enough to be painted by several threads.
TEST_F(ViewTest, PieceDrawnOverTheViewEqualsThePieceDrawnIntoTheImage) {
    struct Case {
        float zoom;
        int scrollX, scrollY, x, y;
        bool trans;
        int viewW, viewH;
        int imageW = 37, imageH = 29;
    };
    const float third = ZoomCommandFactor(3203, 1.0f);
    const Case cases[] = {
        {1.0f, 0, 0, 5, 6, false, 60, 50},    {1.0f, 0, 0, -4, -3, true, 30, 20},
        {1.0f, 0, 0, 30, 22, false, 40, 40},  {2.0f, 10, 6, 8, 4, true, 40, 30},
        {third, 0, 0, 3, 3, false, 20, 20},   {0.5f, 4, 2, 10, 9, true, 17, 13},
        {3.0f, 30, 21, 12, 10, false, 50, 31}, {0.75f, 0, 0, -8, 20, true, 33, 25},
        {1.0f, 7, 5, 40, 3, false, 20, 20},
        {3.0f, 9, 0, 40, 30, false, 700, 400, 300, 200}, {third, 5, 5, 100, 80, true, 400, 300, 1200, 900},
        {1.0f, 3, 2, 60, 50, false, 500, 400, 600, 500},
    };
    RowThreadsWanted = 3;
    for (const Case& c : cases) {
        ImageBox& box = NoisyImageWithPiece(7, c.imageW, c.imageH);
        ASSERT_NE(FloatingPiece.maskBitmap, nullptr);
        // Border bytes wherever a selected pixel meets an outside one or the edge.
        const PixelBuffer& mask = *FloatingPiece.maskBitmap;
        const auto outside = [&mask](int x, int y) {
            return x < 0 || y < 0 || x >= 15 || y >= 11 || mask.Row(y)[x] == kMaskOutside;
        };
        for (int y = 0; y < 11; ++y) {
            for (int x = 0; x < 15; ++x) {
                if (outside(x, y)) continue;
                if (outside(x - 1, y) || outside(x + 1, y) || outside(x, y - 1) || outside(x, y + 1)) {
                    FloatingPiece.maskBitmap->Row(y)[x] = kMaskBorder;
                }
            }
        }
        PaintSettings.Trans = c.trans ? 1 : 0;
        ImageState.ZoomFactor = c.zoom;
        box.scrollX = c.scrollX;
        box.scrollY = c.scrollY;
        const std::uint32_t phase = ImageState.AntsPhase;

        auto shown = Surface(c.viewW, c.viewH);
        ShowPiece(shown.get(), c.x, c.y, false);
        EXPECT_EQ(std::memcmp(box.workBitmap->Bits(), box.undoBitmap->Bits(), box.workBitmap->ByteSize()), 0);
        EXPECT_EQ(ImageState.AntsPhase, (phase + 1) % 5);

        // The reference: pasted and bordered into a copy of the image, which is then painted.
        raster::BitmapInfo header;
        auto copyDc = std::make_unique<raster::DrawingContext>(CreatePixelBuffer(c.imageW, c.imageH, 24, header, nullptr));
        CopyPixels(copyDc->SelectedBitmap(), box.workBitmap);
        PastePieceThroughMask(*copyDc->SelectedBitmap(), c.x, c.y, *FloatingPiece.pieceBitmap,
                              *FloatingPiece.maskBitmap, c.trans, PaintSettings.BColor);
        std::swap(box.workDc, copyDc);
        std::swap(box.workBitmap, box.undoBitmap);  // DrawPieceBorder paints into the work buffer
        box.workBitmap = box.workDc->SelectedBitmap();
        ImageState.AntsPhase = phase;
        DrawPieceBorder(c.x, c.y, 15, 11);
        auto expected = Surface(c.viewW, c.viewH);
        PaintView(*expected, box);
        std::swap(box.workDc, copyDc);
        box.workBitmap = box.workDc->SelectedBitmap();

        int differing = 0;
        for (int y = 0; y < c.viewH; ++y) {
            for (int x = 0; x < c.viewW; ++x) differing += raster::GetPixel(*shown, x, y) != raster::GetPixel(*expected, x, y);
        }
        EXPECT_EQ(differing, 0) << "zoom " << c.zoom << " piece at " << c.x << "," << c.y;
        FreeImageBox(ImageState.CurrentImage);
    }
    RowThreadsWanted = 0;
}

// Save is lent the picture as shown: with a floating piece over a work buffer known to equal
// the undo copy the piece goes into the work buffer for the time of the call; the picture lent
// must be the merged copy's byte for byte, and the work buffer must be as it was afterwards,
// whatever the call returns, wherever the piece lies, with Trans on or off.
TEST_F(ViewTest, ThePictureLentAsShownIsTheMergedCopyAndTheWorkBufferComesBackAsItWas) {
    struct Case {
        int x, y;
        bool trans;
        bool knownClean;  // the work buffer noted equal to the undo copy
        bool floats;      // the piece's tool is current
    };
    const Case cases[] = {
        {5, 6, false, true, true},  {-4, -3, true, true, true}, {30, 22, false, true, true},
        {0, 0, true, true, true},   {5, 6, false, false, true}, {5, 6, false, true, false},
    };
    for (const Case& c : cases) {
        ImageBox& box = NoisyImageWithPiece(11);
        ASSERT_NE(FloatingPiece.maskBitmap, nullptr);
        FloatingPiece.pieceX = c.x;
        FloatingPiece.pieceY = c.y;
        PaintSettings.Trans = c.trans ? 1 : 0;
        PaintSettings.Tool = c.floats ? kToolFloatingPiece : kToolSelectRectangle;
        if (c.knownClean) NoteWorkEqualsUndo();
        const std::vector<std::uint8_t> before(box.workBitmap->Bits(), box.workBitmap->Bits() + box.workBitmap->ByteSize());
        std::unique_ptr<PixelBuffer> merged;
        const PixelBuffer* expected = PictureAsShown(merged);
        ASSERT_NE(expected, nullptr);
        const std::vector<std::uint8_t> shown(expected->Bits(), expected->Bits() + expected->ByteSize());
        for (const int returned : {1, 0}) {
            std::vector<std::uint8_t> lent;
            EXPECT_EQ(WithPictureAsShown([&](const PixelBuffer& picture) {
                          lent.assign(picture.Bits(), picture.Bits() + picture.ByteSize());
                          return returned;
                      }),
                      returned);
            EXPECT_EQ(lent, shown) << c.x << "," << c.y;
            EXPECT_TRUE(std::equal(before.begin(), before.end(), box.workBitmap->Bits())) << c.x << "," << c.y;
        }
        FreeImageBox(ImageState.CurrentImage);
    }
}

}  // namespace
