// The reminder of the player's keys that H or F1 shows for two seconds: a
// dark band along the bottom of the picture with every key in the built-in
// bitmap font.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/overlay.h"

namespace xmo {

inline constexpr std::uint32_t kKeyOverlayMs = 2000;

// The reminder's lines, top first.
const std::vector<std::string>& keyOverlayLines();

// The band and its lines, centred across the screen's width, its foot on
// window row bottom.
Overlay layoutKeyOverlay(int screenWidth, int bottom);

}  // namespace xmo
