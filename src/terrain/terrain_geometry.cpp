#include "terrain/terrain_geometry.h"

#include <algorithm>

#include "terrain/terrain.h"

namespace xmo {

TerrainGrid buildTerrainGrid(const Image& heightMap) {
    TerrainGrid grid;
    if (heightMap.empty()) return grid;
    grid.columns = std::min(heightMap.width, kMaxTerrainSide);
    grid.rows = std::min(heightMap.height, kMaxTerrainSide);
    grid.heights.reserve(static_cast<std::size_t>(grid.columns) * grid.rows);
    for (int r = 0; r < grid.rows; ++r)
        for (int c = 0; c < grid.columns; ++c) {
            const std::size_t pixel = static_cast<std::size_t>(r) * heightMap.width + c;
            const std::uint8_t red = heightMap.pixels[pixel * 4 + 2];
            grid.heights.push_back(red / 255.0f * kTerrainHeightScale);
        }
    return grid;
}

Vec3f vertexNormal(const TerrainGrid& grid, int c, int r) {
    const int left = c == 0 ? 0 : 1;
    const int right = c == grid.columns - 1 ? 0 : 1;
    const int back = r == 0 ? 0 : 1;
    const int front = r == grid.rows - 1 ? 0 : 1;
    const Vec3f l{-left, grid.height(c - left, r), 0};
    const Vec3f rr{right, grid.height(c + right, r), 0};
    const Vec3f b{0, grid.height(c, r - back), -back};
    const Vec3f f{0, grid.height(c, r + front), front};
    const Vec3f n = cross(l - rr, b - f);
    // Only a grid one point wide or deep has no slope to measure.
    const float len = length(n);
    return len > 0.0f ? n / len : Vec3f{0.0f, -1.0f, 0.0f};
}

// Two triangles per cell, columns outer and rows inner: (c, r), (c+1, r+1),
// (c+1, r) and then (c, r), (c, r+1), (c+1, r+1).
void buildTerrain(Terrain& terrain) {
    const TerrainGrid& grid = terrain.grid;
    std::vector<TerrainTriangle>& triangles = terrain.triangles;
    triangles.clear();
    if (grid.columns < 2 || grid.rows < 2) return;
    triangles.reserve(static_cast<std::size_t>(grid.columns - 1) * (grid.rows - 1) * 2);
    const auto point = [&grid](int c, int r) {
        return Vec3f{c * grid.spacingX, grid.height(c, r), r * grid.spacingZ};
    };
    const auto triangle = [&](int c0, int r0, int c1, int r1, int c2, int r2) {
        TerrainTriangle t;
        const int cs[3] = {c0, c1, c2}, rs[3] = {r0, r1, r2};
        for (int i = 0; i < 3; ++i) {
            t.vertex[i] = point(cs[i], rs[i]);
            t.normal[i] = vertexNormal(grid, cs[i], rs[i]);
        }
        triangles.push_back(t);
    };
    for (int c = 0; c + 1 < grid.columns; ++c)
        for (int r = 0; r + 1 < grid.rows; ++r) {
            triangle(c, r, c + 1, r + 1, c + 1, r);
            triangle(c, r, c, r + 1, c + 1, r + 1);
        }
}

Vec2f terrainTexCoord(const TerrainGrid& grid, const Vec3f& local) {
    const float width = grid.columns * grid.spacingX;
    const float depth = grid.rows * grid.spacingZ;
    return {width > 0.0f ? local.e[0] / width : 0.0f, depth > 0.0f ? local.e[2] / depth : 0.0f};
}

}  // namespace xmo
