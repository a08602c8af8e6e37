#include "app/key_overlay.h"

namespace xmo {

namespace {

constexpr int kScale = 2;
constexpr int kPadding = 8;

}  // namespace

const char* keyOverlayText() { return "ESC END  SPACE PAUSE  RIGHT STEP  R RESTART  H/F1 KEYS"; }

KeyOverlay layoutKeyOverlay(int screenWidth, int screenHeight) {
    const int textHeight = kGlyphHeight * kScale;
    const int bandHeight = textHeight + 2 * kPadding;
    KeyOverlay overlay;
    overlay.band = {0, screenHeight - bandHeight, screenWidth, bandHeight};
    const int textLeft = (screenWidth - bitmapTextWidth(keyOverlayText(), kScale)) / 2;
    overlay.letters = layoutBitmapText(keyOverlayText(), textLeft, overlay.band.y + kPadding, kScale);
    return overlay;
}

}  // namespace xmo
