#include "app/overlay.h"

namespace xmo {

void addRect(Overlay& overlay, const PixelRect& rect, OverlayColour colour) { overlay.push_back({rect, colour}); }

void addText(Overlay& overlay, std::string_view text, int x, int y, int scale, OverlayColour colour) {
    for (const PixelRect& cell : layoutBitmapText(text, x, y, scale)) overlay.push_back({cell, colour});
}

}  // namespace xmo
