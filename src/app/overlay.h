// The player's own drawing over the film (the key reminder, the time bar,
// the problems panel): coloured rectangles of window pixels, text among
// them in the built-in bitmap font. Laid out here without GL; drawn by
// drawOverlay after the film's own last pass, never into a capture.
#pragma once

#include <string_view>
#include <vector>

#include "app/bitmap_font.h"

namespace xmo {

struct OverlayColour {
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

inline constexpr OverlayColour kOverlayShade{0.0f, 0.0f, 0.0f, 0.7f};  // under text, over the film
inline constexpr OverlayColour kOverlayText{1.0f, 1.0f, 1.0f, 1.0f};

struct OverlayRect {
    PixelRect rect;
    OverlayColour colour;
};

// Drawn in order, later rectangles over earlier ones.
using Overlay = std::vector<OverlayRect>;

void addRect(Overlay& overlay, const PixelRect& rect, OverlayColour colour);
void addText(Overlay& overlay, std::string_view text, int x, int y, int scale, OverlayColour colour);

// Draws it in window pixels (y downwards) over the current picture, blended
// by each colour's alpha; every GL state it touches is restored.
void drawOverlay(const Overlay& overlay, int screenWidth, int screenHeight);

}  // namespace xmo
