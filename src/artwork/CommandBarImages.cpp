// The command bar's image buttons, drawn by hand: the selection mode (replace, add,
// subtract) and undo, on magenta, which the bar leaves out.
#include "ResourceArt.h"
#include "ToolIconArt.h"

namespace {

struct CommandImageArt {
    int image;
    const char* rows[kCommandImageSize];
};

// clang-format off
constexpr CommandImageArt kCommandImageArt[] = {
    {2,  // replace
     {"................",
      "................",
      "..wkwwkkwwkkwk..",
      "..w..........k..",
      "..k..........w..",
      "..k..........w..",
      "..w..........k..",
      "..w..........k..",
      "..k..........w..",
      "..k..........w..",
      "..w..........k..",
      "..w..........k..",
      "..k..........w..",
      "..kwkkwwkkwwkk..",
      "................",
      "................"}},
    {3,  // add
     {"................",
      ".wkwwkkwwkkk....",
      ".k.........k....",
      ".k.........w....",
      ".w.........w....",
      ".w.........k....",
      ".k.........k....",
      ".k.........w....",
      ".w.......kkkkkk.",
      ".w......kwwwwwwk",
      ".k......kwwhhwwk",
      ".kkkwwkkkwhhhhwk",
      "........kwhhhhwk",
      "........kwwhhwwk",
      "........kwwwwwwk",
      ".........kkkkkk."}},
    {4,  // subtract
     {"................",
      ".wkwwkkwwkkk....",
      ".k.........k....",
      ".k.........w....",
      ".w.........w....",
      ".w.........k....",
      ".k.........k....",
      ".k.........w....",
      ".w.......kkkkkk.",
      ".w......kwwwwwwk",
      ".k......kwwwwwwk",
      ".kkkwwkkkwRRRRwk",
      "........kwRRRRwk",
      "........kwwwwwwk",
      "........kwwwwwwk",
      ".........kkkkkk."}},
    {5,  // undo
     {"................",
      "................",
      "................",
      "................",
      "......BBBBBB....",
      ".....BbbbbbbB...",
      "....BbbBBBBbbB..",
      "....BbB....BbB..",
      "...BbbB....BbbB.",
      ".BBbbbbB....BbB.",
      "..BbbbB....BbbB.",
      "...BbB.....BbB..",
      "....B.....BbbB..",
      "..........BbB...",
      "...........B....",
      "................"}},
};
// clang-format on

}  // namespace

std::unique_ptr<PixelBuffer> MakeCommandBarImages() {
    auto strip = MagentaPicture(kCommandImageCount * kCommandImageSize, kCommandImageSize);
    if (!strip) return nullptr;
    for (const CommandImageArt& art : kCommandImageArt) {
        if (!PaintPixelArt(*strip, art.image * kCommandImageSize, 0, art.rows, kCommandImageSize)) return nullptr;
    }
    return strip;
}
