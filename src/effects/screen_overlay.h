// Drawing over the finished picture in flat screen coordinates (drawing
// library): fades, captions, tiles and the player's own overlays.
#pragma once

namespace xmo {

// Saves every attribute and both matrices, maps left..right and bottom..top
// onto the whole viewport with an identity modelview matrix, and turns
// lighting and the depth test off. The modelview matrix is current after it.
void beginScreenOverlay(double left, double right, double bottom, double top);

// Puts back what beginScreenOverlay saved.
void endScreenOverlay();

}  // namespace xmo
