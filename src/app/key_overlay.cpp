#include "app/key_overlay.h"

#include <algorithm>

namespace xmo {

namespace {

constexpr int kScale = 2;
constexpr int kPadding = 8;
constexpr int kLineGap = 6;

}  // namespace

const std::vector<std::string>& keyOverlayLines() {
    static const std::vector<std::string> lines = {
        "ESC QUIT  SPACE PAUSE  R RESTART  S STILL  H PROBLEMS/KEYS",
        "LEFT/RIGHT 1 S (A FRAME WHEN PAUSED)  SHIFT 5 S",
        "PGUP/PGDN SEQUENCE  HOME/END FILM  CLICK THE BAR: SEEK",
    };
    return lines;
}

Overlay layoutKeyOverlay(int screenWidth, int bottom) {
    const std::vector<std::string>& lines = keyOverlayLines();
    const int lineHeight = kGlyphHeight * kScale;
    const int count = static_cast<int>(lines.size());
    const int bandHeight = count * lineHeight + (count - 1) * kLineGap + 2 * kPadding;
    Overlay overlay;
    addRect(overlay, {0, bottom - bandHeight, screenWidth, bandHeight}, kOverlayShade);
    int y = bottom - bandHeight + kPadding;
    for (const std::string& line : lines) {
        addText(overlay, line, (screenWidth - bitmapTextWidth(line, kScale)) / 2, y, kScale, kOverlayText);
        y += lineHeight + kLineGap;
    }
    return overlay;
}

}  // namespace xmo
