#include "app/key_overlay.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace xmo {
namespace {

// The lit cells of one character at scale 1, as rows of '#' and '.'.
std::vector<std::string> cellsOf(char c) {
    std::vector<std::string> rows(kGlyphHeight, std::string(kGlyphWidth, '.'));
    for (const PixelRect& r : layoutBitmapText(std::string(1, c), 0, 0, 1)) {
        EXPECT_EQ(r.height, 1);
        for (int x = r.x; x < r.x + r.width; ++x) rows.at(r.y).at(x) = '#';
    }
    return rows;
}

TEST(KeyOverlay, GlyphsAreCellsOfTheirBoxAndEveryOneDiffers) {
    EXPECT_EQ(cellsOf('T'), (std::vector<std::string>{"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}));
    EXPECT_EQ(cellsOf('e'), cellsOf('E')) << "small letters are capitals";
    EXPECT_TRUE(layoutBitmapText(" ~", 0, 0, 1).empty()) << "blank, and a sign the font lacks";
    std::set<std::vector<std::string>> seen;
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789/().,:-\"'_!?=+<>[]%;#*&")) {
        const auto cells = cellsOf(c);
        EXPECT_TRUE(seen.insert(cells).second) << "'" << c << "' looks like another character";
    }
}

TEST(KeyOverlay, EveryLineFitsTheScreenInsideItsBand) {
    const Overlay overlay = layoutKeyOverlay(800, 600);
    ASSERT_FALSE(overlay.empty());
    const PixelRect& band = overlay.front().rect;
    EXPECT_EQ(band.y + band.height, 600);
    EXPECT_EQ(band.width, 800);
    int left = 800, right = 0;
    for (std::size_t i = 1; i < overlay.size(); ++i) {
        const PixelRect& r = overlay[i].rect;
        EXPECT_GE(r.y, band.y);
        EXPECT_LE(r.y + r.height, 600);
        left = std::min(left, r.x);
        right = std::max(right, r.x + r.width);
    }
    EXPECT_GT(left, 0);
    EXPECT_LT(right, 800);
}

}  // namespace
}  // namespace xmo
