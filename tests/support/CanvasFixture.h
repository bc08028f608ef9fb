// A document with a canvas window, driven by the canvas window's own messages.
#pragma once

#include "image/ToolIds.h"
#include "support/DocumentFixture.h"

constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kPaper = 0x30A0C0;  // the background colour of these tests

class CanvasTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        PaintSettings.BColor = kPaper;
    }

    int Send(platform::MessageKind kind, int x = 0, int y = 0, int id = 0) {
        platform::WindowMessage m;
        m.kind = kind;
        m.x = x;
        m.y = y;
        m.id = id;
        return CanvasWindow().Send(m);
    }
    void Down(int x, int y) { Send(platform::MessageKind::StylusDown, x, y); }
    void Move(int x, int y) { Send(platform::MessageKind::StylusMove, x, y); }
    void Up(int x, int y) { Send(platform::MessageKind::StylusUp, x, y); }
    void DoubleTap(int x, int y) { Send(platform::MessageKind::DoubleTap, x, y); }
    void Scroll(bool vertical, platform::ScrollCode code, int position = 0) {
        platform::WindowMessage m;
        m.kind = vertical ? platform::MessageKind::VScroll : platform::MessageKind::HScroll;
        m.scrollCode = code;
        m.position = position;
        CanvasWindow().Send(m);
    }
    // Paints the whole surface a colour the view never uses, to see what a repaint touched.
    void MarkSurface() {
        raster::DrawingContext& dc = CanvasWindow().GetDC();
        raster::FillRect(dc, {0, 0, dc.SelectedBitmap()->Width(), dc.SelectedBitmap()->Height()}, kWhite);
    }
};

// A piece at (2, 2), 4 x 4, red, selected except at its own (1, 1).
inline void MakeFloatingPiece() {
    ASSERT_EQ(CreateFloatingPiece(4, 4), 1);
    raster::FillRect(*FloatingPiece.pieceDc, {0, 0, 4, 4}, kRed);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) FloatingPiece.maskBitmap->Row(y)[x] = kMaskInside;
    }
    FloatingPiece.maskBitmap->Row(1)[1] = kMaskOutside;
    FloatingPiece.pieceX = FloatingPiece.savedPieceX = 2;
    FloatingPiece.pieceY = FloatingPiece.savedPieceY = 2;
    PaintSettings.Tool = kToolFloatingPiece;
}
