// The height-field terrain every film plays on: heights read from
// "heigh.bmp", textured with "moon512.jpg", compiled into a display list on
// its first draw and drawn in both lighting passes of the model pass.
//
// The player owns one Terrain. Start-up loads both images (loadTerrain, in
// the playback library xmo_world: it decodes and uploads) and builds the
// triangles (buildTerrain, no GL); the model pass draws it twice per frame.
// Missing or unreadable images leave a terrain without rows and columns,
// which draws nothing, or a surface of 0 x 0, which samples as no texture.
// Depends on image/ and terrain_geometry.h.
#pragma once

#include <ostream>
#include <vector>

#include "image/texture.h"
#include "terrain/terrain_geometry.h"

namespace xmo {

class FilmFiles;

struct Terrain {
    TerrainGrid grid;
    std::vector<TerrainTriangle> triangles;
    Texture texture;  // the surface image
    unsigned displayList = 0;
    bool compilePending = true;

    // The first call compiles the list; every call, the first too, calls it.
    // The list sets the texture environment to GL_BLEND for the ground and
    // leaves GL_REPLACE behind.
    void draw();
};

// Start-up, in this order: read both images from the working directory (or
// beside the film, by the rule of base/film_files.h), then build the
// triangles. A recognised image that cannot be decoded writes
// one line to `errors`; a missing or unrecognised one is passed over in
// silence (xmotool check reports both).
void loadTerrain(Terrain& terrain, FilmFiles& files, std::ostream& errors);
void buildTerrain(Terrain& terrain);

}  // namespace xmo
