// The height-field terrain as plain data: the grid of heights read from the
// height map, its vertex normals, the triangles it is drawn from (built by
// buildTerrain, terrain.h) and their texture coordinates.
//
// Grid point (column c, row r) lies at grid-local (c x spacingX, height,
// r x spacingZ); columns run along x, rows along z, and the grid's corner is
// placed at (originX, 0, originZ) in the world. Heights come from the red
// channel, 0 to 255 giving 0 to 3 units. Depends on image/ (the record) and
// math/.
#pragma once

#include <vector>

#include "base/check.h"
#include "image/image.h"
#include "math/vec.h"

namespace xmo {

inline constexpr float kTerrainHeightScale = 3.0f;
inline constexpr float kTerrainOrigin = -20.0f;
inline constexpr float kTerrainSpacing = 2.0f;
// Grid points per side at most. A larger height map is cut to its first
// rows and columns: the part kept already reaches ten times beyond the far
// plane, and the rest would only cost memory (two triangles per point).
inline constexpr int kMaxTerrainSide = 512;

struct TerrainGrid {
    std::vector<float> heights;  // row by row: column c of row r is entry r x columns + c
    int columns = 0;
    int rows = 0;
    float originX = kTerrainOrigin;
    float originZ = kTerrainOrigin;
    float spacingX = kTerrainSpacing;
    float spacingZ = kTerrainSpacing;

    float height(int c, int r) const {
        XMO_CHECK(c >= 0 && c < columns && r >= 0 && r < rows, "terrain");
        return heights[static_cast<std::size_t>(r) * columns + c];
    }
};

// Vertices in grid-local coordinates, normal i belonging to vertex i.
struct TerrainTriangle {
    Vec3f vertex[3];
    Vec3f normal[3];
};

// Heights red / 255 x 3 for each pixel of the height map, top row first.
TerrainGrid buildTerrainGrid(const Image& heightMap);

// The normal at grid point (c, r) from its neighbours one grid step away
// (steps of 1, not the spacing; 0 towards an edge). It points down: a flat
// field gives (0, -1, 0), and the drawing negates it.
Vec3f vertexNormal(const TerrainGrid& grid, int c, int r);

// The surface texture's coordinates of a grid-local point: the texture spans
// the grid's columns x spacingX and rows x spacingZ once.
Vec2f terrainTexCoord(const TerrainGrid& grid, const Vec3f& local);

}  // namespace xmo
