// A tiny built-in 5x7 bitmap font for the player's own overlay, which must
// show without any font file: capitals, digits and the signs of file names,
// times and messages.
#pragma once

#include <string_view>
#include <vector>

namespace xmo {

// A rectangle of window pixels, (x, y) its top left corner, y downwards.
struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;  // one blank column between letters

// The lit cells of text with its top left corner at (x, y), each cell scale
// by scale pixels; each run of lit cells within a row is one rectangle.
// Small letters are drawn as capitals; characters the font lacks as blanks.
std::vector<PixelRect> layoutBitmapText(std::string_view text, int x, int y, int scale);

// Width in pixels of text drawn at scale (no trailing blank column).
int bitmapTextWidth(std::string_view text, int scale);

}  // namespace xmo
