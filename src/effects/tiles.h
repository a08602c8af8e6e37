// Full-screen image overlays of a sequence; each Tiles record owns the
// texture its image was loaded into while the movie was read.
//
// Not built yet: tiles are read with the movie but not drawn.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct Tiles;

inline void drawTiles(const std::vector<std::unique_ptr<Tiles>>& /*tiles*/, float /*t*/) {}

}  // namespace xmo
