// The one-line reminder of the player's keys that H or F1 shows for two
// seconds: a dark band along the bottom of the picture with the keys in the
// built-in bitmap font, drawn over everything the film draws.
#pragma once

#include <cstdint>
#include <vector>

#include "app/bitmap_font.h"

namespace xmo {

inline constexpr std::uint32_t kKeyOverlayMs = 2000;

struct KeyOverlay {
    PixelRect band;
    std::vector<PixelRect> letters;
};

const char* keyOverlayText();

// The band and its letters, centred at the bottom of a screen of that size.
KeyOverlay layoutKeyOverlay(int screenWidth, int screenHeight);

// Draws it in window pixels over the current picture; every GL state it
// touches is restored.
void drawKeyOverlay(const KeyOverlay& overlay, int screenWidth, int screenHeight);

}  // namespace xmo
