// Writes the seed corpus of the whole-program targets: for the user-action target a few
// hand-written sessions per tool family (ActionCodes.h), for the batch target a few command
// lines of every kind of step (the first character picks the output: 0 PNG, 1 BMP, 2 JPEG).
// Usage: pw-fuzz-program-seeds ACTIONS_FOLDER BATCH_FOLDER
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "ActionCodes.h"

using namespace fuzzcodes;

namespace {

// A session: the first picture's size, then actions.
class Session {
public:
    Session(int width, int height) { bytes_ = {static_cast<std::uint8_t>(width - 1), static_cast<std::uint8_t>(height - 1)}; }
    Session& Raw(std::initializer_list<int> values) {
        for (int v : values) bytes_.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    Session& Point(int x, int y) { return Raw({Coordinate(x), Coordinate(y)}); }
    Session& Tap(int x, int y, Target t = kCanvas) { return Raw({kTap, t}).Point(x, y); }
    Session& Hold(int x, int y, Target t = kCanvas) { return Raw({kHold, t}).Point(x, y); }
    Session& Drag(std::initializer_list<std::pair<int, int>> points, Target t = kCanvas) {
        const auto* p = points.begin();
        Raw({kDrag, t}).Point(p->first, p->second).Raw({static_cast<int>(points.size()) - 2});
        for (++p; p != points.end(); ++p) Point(p->first, p->second);
        return *this;
    }
    Session& DoubleTap(int x, int y) { return Raw({kDoubleTap, kCanvas}).Point(x, y); }
    Session& Button(int button, bool hold = false) { return Raw({kToolButton, button, hold ? 1 : 0}); }
    Session& Row(int row) { return Raw({kFlyoutRow, row}); }
    // A group's entry: the group's button twice opens its flyout, then the row.
    Session& Tool(int group, int row) { return Button(group).Button(group).Row(row); }
    Session& Undo() { return Raw({kUndo}); }
    Session& Back() { return Raw({kStepBackward}); }
    Session& Forward() { return Raw({kStepForward}); }
    Session& Menu(int item) { return Raw({kMenu, item >> 8, item & 255}); }
    Session& Shortcut(int index) { return Raw({kShortcut, index}); }
    // A dialog accepted as it opened, or closed.
    Session& Ok() { return Raw({0, kEndOk}); }
    Session& Closed() { return Raw({0, kEndClosed}); }
    Session& Timer(int which) { return Raw({kTimer, which}); }
    bool Save(const std::string& path) const {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes_.data()), static_cast<std::streamsize>(bytes_.size()));
        return static_cast<bool>(out);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// In the order of the shortcut table.
enum Shortcuts { kCtrlZ, kCtrlShiftZ, kCtrlY, kCtrlN, kCtrlO, kCtrlS, kCtrlShiftS, kCtrlQ, kCtrlA, kCtrlC, kCtrlX, kCtrlV,
                 kCtrlPlus, kCtrlEquals, kCtrlMinus, kCtrl0, kF11, kCtrlShiftA, kCtrlShiftX, kDelete };
enum Groups { kSelect, kPen, kShape, kArea, kFilter, kPicker, kText, kZoom, kSwatch, kFillStyle, kBrush, kTransparent };

std::vector<std::pair<std::string, Session>> ActionSeeds() {
    std::vector<std::pair<std::string, Session>> seeds;
    Session pens(40, 30);
    for (int row = 0; row < 5; ++row) {
        pens.Tool(kPen, row).Drag({{3, 3}, {20, 9}, {35, 25}, {50, 40}}).Timer(0).Undo();
    }
    pens.Raw({kDown, kCanvas}).Point(10, 10).Raw({kMove, kCanvas}).Point(12, 11).Timer(0).Timer(0).Raw({kUp, kCanvas}).Point(12, 11);
    seeds.emplace_back("pens", pens);

    Session shapes(48, 32);
    for (int row = 0; row < 6; ++row) shapes.Tool(kShape, row).Drag({{5, 5}, {20, 14}, {30, 20}}).Undo().Undo();
    shapes.Tool(kShape, 4).Tap(4, 4).Tap(30, 6).Tap(25, 28).DoubleTap(6, 20).Undo();
    shapes.Button(kFillStyle).Tool(kShape, 1).Drag({{2, 2}, {12, 12}});
    seeds.emplace_back("shapes", shapes);

    Session area(32, 32);
    area.Tool(kArea, 0).Tap(5, 5).Undo().Tool(kArea, 1).Drag({{0, 0}, {31, 31}}).Tool(kArea, 2).Drag({{16, 16}, {2, 30}});
    area.Shortcut(kCtrlA).Tool(kArea, 1).Drag({{1, 1}, {20, 20}}).Undo().Undo();
    seeds.emplace_back("fill-gradient", area);

    Session select(50, 40);
    select.Tool(kSelect, 0).Drag({{5, 5}, {25, 20}}).Drag({{10, 10}, {30, 15}}).Undo().Tap(45, 38).Undo();
    select.Tool(kSelect, 1).Drag({{5, 5}, {30, 5}, {30, 30}, {5, 30}}).Shortcut(kCtrlC).Shortcut(kCtrlV).Shortcut(kCtrlX);
    select.Tool(kSelect, 2).Tap(20, 20).Raw({kMenu, 0, 40}).Ok().Undo();
    select.Tool(kSelect, 3).Tap(3, 3).Tap(40, 4).Tap(20, 35).DoubleTap(3, 30).Undo();
    seeds.emplace_back("selections", select);

    Session retouch(32, 24);
    retouch.Tool(kArea, 1).Drag({{0, 0}, {31, 23}});
    for (int row = 0; row < 8; ++row) retouch.Tool(kFilter, row).Drag({{4, 4}, {10, 8}, {20, 12}}).Undo().Undo();
    seeds.emplace_back("retouch", retouch);

    Session text(60, 30);
    text.Tool(kText, 0).Tap(4, 4).Raw({2, kControl, 1, kTextNumber, 20, 0, kControl, 3, kTextNumber, 16, 0, kEndOk});
    text.Drag({{6, 6}, {20, 12}}).Tap(58, 28).Undo();
    seeds.emplace_back("text", text);

    Session menus(24, 20);
    menus.Shortcut(kCtrlA);
    for (int item = 0; item < 120; ++item) menus.Menu(item).Ok().Raw({1, 1});
    seeds.emplace_back("menus-ok", menus);

    Session closed(24, 20);
    for (int item = 0; item < 120; ++item) closed.Menu(item).Raw({3, kTicks, 2, kControl, 5, 9, kControl, 2, 200, kEndClosed});
    seeds.emplace_back("menus-closed", closed);

    Session view(64, 64);
    view.Shortcut(kCtrlPlus).Shortcut(kCtrlPlus).Raw({kScroll, 1, 3, 0, 40, kScroll, 0, 4, 0, 100});
    view.Raw({kWheel}).Point(30, 30).Raw({8, 2, kWheel}).Point(10, 10).Raw({0xF0, 1});
    view.Tool(kZoom, 0).Tap(20, 20).Tool(kZoom, 1).Tap(5, 5).Tool(kPen, 0).Drag({{1, 1}, {100, 90}});
    seeds.emplace_back("zoom-scroll", view);

    Session panels(30, 30);
    panels.Tap(5, 5, kColourBar).Hold(40, 5, kColourBar).Button(kSwatch).Tap(20, 20, kColourPopup);
    panels.Button(kSwatch, true).Ok().Button(kBrush).Tap(30, 30, kBrushPicker).Button(kPen, true).Ok();
    panels.Button(kTransparent).Button(kShape, true).Closed();
    seeds.emplace_back("panels", panels);

    Session files(20, 16);
    files.Tool(kPen, 0).Drag({{1, 1}, {18, 14}}).Shortcut(kCtrlShiftS).Raw({1, 0}).Raw({kForeignImage, 12, 9, 7, 1});
    files.Shortcut(kCtrlV).Shortcut(kCtrlN).Raw({1}).Raw({kNew, 10, 12}).Raw({kFileDrop, 0, 0}).Raw({kRestart, 0, 0, 0, 0, 30, 1});
    seeds.emplace_back("files-clipboard", files);

    // The history of states: steps back and forward over strokes, a new stroke that drops the
    // steps ahead, Undo between steps, the keys.
    Session strokes(40, 40);
    strokes.Tool(kPen, 0).Drag({{2, 2}, {30, 30}}).Tool(kShape, 1).Drag({{5, 5}, {25, 15}}).Tool(kArea, 0).Tap(35, 3);
    strokes.Back().Back().Forward().Tool(kPen, 1).Drag({{0, 39}, {39, 0}}).Back().Back().Back().Back().Forward();
    strokes.Forward().Undo().Back().Undo().Undo().Forward().Shortcut(kCtrlZ).Shortcut(kCtrlY).Shortcut(kCtrlShiftZ);
    strokes.Tool(kShape, 4).Tap(4, 4).Tap(30, 6).Back().Tap(25, 28).DoubleTap(6, 20).Back().Forward();
    seeds.emplace_back("history-strokes", strokes);

    // Over a floating piece: lifted, dragged, the gradient drawn on it, dropped; stepped over.
    Session piece(48, 40);
    piece.Tool(kSelect, 0).Drag({{4, 4}, {20, 20}}).Drag({{10, 10}, {30, 25}}).Back().Forward().Undo().Back().Forward();
    piece.Button(kArea).Row(1).Drag({{22, 18}, {34, 30}}).Back().Back().Forward().Forward().Undo().Undo();
    piece.Button(kSelect).Drag({{28, 24}, {12, 30}}).Tap(46, 38).Back().Undo().Forward().Back().Back().Back();
    piece.Shortcut(kCtrlA).Shortcut(kCtrlX).Back().Shortcut(kCtrlV).Back().Forward().Shortcut(kDelete).Back();
    seeds.emplace_back("history-piece", piece);

    // Every command, then a step back and forward over it; a save, and steps around it.
    Session commands(24, 20);
    commands.Tool(kPen, 0).Drag({{1, 1}, {20, 18}}).Shortcut(kCtrlShiftS).Raw({1, 0}).Back().Forward();
    for (int item = 0; item < 120; ++item) commands.Menu(item).Ok().Raw({1, 1}).Back().Forward();
    seeds.emplace_back("history-commands", commands);
    return seeds;
}

const std::vector<std::pair<std::string, std::string>> kBatchSeeds = {
    {"filters", "0invert\nblur-low\nmosaic=4\ngamma=150,1\nswirl=1,90\nwaves=10,20,30"},
    {"adjust", "1hue-saturation=10,-20,30\ncolorize=40,50,-10\nadjust-rgb=255,-255,0\nthreshold=128,2"},
    {"geometry", "2rotate=45\nrotate-90-cw\nflip-vertical\nimage-size=9,4,0,1\noffset=3,-2"},
    {"strokes", "0fcolor=255,0,0\nsize=5\ntool=30\nstroke=1,1,5,3,6,4\ntool=33\ndown=2,2\nmove=3,3\nhold=20\nup=3,3"},
    {"shapes", "0fill=2\ntool=4\nstroke=0,0,6,4\ntool=12\ndown=1,1\nup=1,1\ndown=5,1\nup=5,1\ndouble-tap=3,4"},
    {"selection", "0tool=8\nstroke=1,1,5,4\ncopy\npaste\nselect-grow\nselect-similar\nundo\nundo"},
    {"bad", "0mosaic=99\nblur-low=1\nstroke=1\ntool=99\nsize=0\nnothing"},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ACTIONS_FOLDER BATCH_FOLDER\n", argv[0]);
        return 2;
    }
    bool ok = true;
    for (const auto& [name, session] : ActionSeeds()) ok &= session.Save(std::string(argv[1]) + "/" + name);
    for (const auto& [name, text] : kBatchSeeds) {
        std::ofstream out(std::string(argv[2]) + "/" + name, std::ios::binary);
        out << text;
        ok &= static_cast<bool>(out);
    }
    return ok ? 0 : 1;
}
