// Full-screen image overlays of a sequence.
//
// Not built yet: tiles are read with the movie but not drawn.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct Tiles;

void drawTiles(const std::vector<std::unique_ptr<Tiles>>& tiles, float t);

}  // namespace xmo
