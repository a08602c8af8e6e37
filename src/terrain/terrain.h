// The height-field terrain every film plays on: heights read from
// "heigh.bmp", textured with "moon512.jpg", compiled into a display list on
// its first draw and drawn in both lighting passes of the model pass.
//
// Not built yet: a Terrain holds nothing, loading and building do nothing
// and the model pass draws no ground.
#pragma once

namespace xmo {

// The one terrain of a run, owned by the player.
struct Terrain {
    void draw() {}
};

// Start-up, in this order: read both images, then build the triangles.
inline void loadTerrain(Terrain&) {}
inline void buildTerrain(Terrain&) {}

}  // namespace xmo
