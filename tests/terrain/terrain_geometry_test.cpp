#include "terrain/terrain_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "terrain/terrain.h"

namespace xmo {
namespace {

// A height map whose red bytes are `reds`, row by row; the other bytes are
// noise the terrain must not read.
Image heightMap(int width, int height, const std::vector<std::uint8_t>& reds) {
    Image image;
    image.width = width;
    image.height = height;
    for (std::uint8_t red : reds) image.pixels.insert(image.pixels.end(), {200, 100, red, 7});
    return image;
}

// The terrain start-up builds from a height map, without the images' GL half.
Terrain builtTerrain(const Image& map) {
    Terrain terrain;
    terrain.grid = buildTerrainGrid(map);
    buildTerrain(terrain);
    return terrain;
}

void expectNear(const Vec3f& got, const Vec3f& want, const std::string& what) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got.e[i], want.e[i], 1e-5f) << what << " component " << i;
}

TEST(TerrainGeometry, ABlackMapOf21By21GivesAFlatGroundOf800TrianglesFromMinus20To20) {
    const Terrain terrain = builtTerrain(heightMap(21, 21, std::vector<std::uint8_t>(21 * 21, 0)));
    const TerrainGrid& grid = terrain.grid;
    const std::vector<TerrainTriangle>& triangles = terrain.triangles;
    ASSERT_EQ(triangles.size(), 800u);
    float lo = 1e9f, hi = -1e9f;
    for (const TerrainTriangle& t : triangles)
        for (int i = 0; i < 3; ++i) {
            for (int axis : {0, 2}) {
                const float world = t.vertex[i].e[axis] + (axis == 0 ? grid.originX : grid.originZ);
                lo = std::min(lo, world);
                hi = std::max(hi, world);
            }
            EXPECT_EQ(t.vertex[i].e[1], 0.0f);
            EXPECT_EQ(-t.normal[i], (Vec3f{0, 1, 0})) << "drawn normals point up";
        }
    EXPECT_EQ(lo, -20.0f);
    EXPECT_EQ(hi, 20.0f);
}

TEST(TerrainGeometry, HeightsComeFromTheRedByteTopRowFirst) {
    const TerrainGrid grid = buildTerrainGrid(heightMap(2, 2, {0, 255, 51, 102}));
    EXPECT_EQ(grid.columns, 2);
    EXPECT_EQ(grid.rows, 2);
    ASSERT_EQ(grid.heights.size(), 4u);
    const float expected[4] = {0.0f, 3.0f, 0.6f, 1.2f};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(grid.heights[i], expected[i], 1e-6f) << i;

    const int wide = kMaxTerrainSide + 3;
    const TerrainGrid cut = buildTerrainGrid(heightMap(wide, 2, std::vector<std::uint8_t>(wide * 2, 9)));
    EXPECT_EQ(cut.columns, kMaxTerrainSide) << "an oversized map keeps its first columns";
    EXPECT_EQ(cut.heights.size(), static_cast<std::size_t>(kMaxTerrainSide) * 2);
    EXPECT_TRUE(builtTerrain(Image{}).triangles.empty());
}

TEST(TerrainGeometry, CellsRunColumnsOuterWithTheirTwoTrianglesInOrder) {
    // Two columns, three rows; heights 0..5 in map order.
    const Terrain terrain = builtTerrain(heightMap(2, 3, {0, 17, 34, 51, 68, 85}));
    const TerrainGrid& grid = terrain.grid;
    const std::vector<TerrainTriangle>& triangles = terrain.triangles;
    ASSERT_EQ(triangles.size(), 4u);
    const auto at = [&grid](int c, int r) { return Vec3f{c * 2.0f, grid.height(c, r), r * 2.0f}; };
    const Vec3f expected[4][3] = {
        {at(0, 0), at(1, 1), at(1, 0)},
        {at(0, 0), at(0, 1), at(1, 1)},
        {at(0, 1), at(1, 2), at(1, 1)},
        {at(0, 1), at(0, 2), at(1, 2)},
    };
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 3; ++i) expectNear(triangles[t].vertex[i], expected[t][i], "triangle " + std::to_string(t));
    EXPECT_NEAR(grid.height(1, 2), 1.0f, 1e-6f);
}

TEST(TerrainGeometry, VertexNormalsUseUnitGridStepsAndStopAtTheEdges) {
    // Height rises by 1 per column (red 85 is one unit): the slope of the
    // grid-step normal is 45 degrees whatever the spacing.
    const TerrainGrid grid = buildTerrainGrid(heightMap(3, 3, {0, 85, 170, 0, 85, 170, 0, 85, 170}));
    const float s = std::sqrt(0.5f);
    struct Case {
        int c, r;
        Vec3f normal;
    };
    const Case cases[] = {
        {1, 1, {s, -s, 0}},  // interior: (L - R) x (B - F) = (4, -4, 0)
        {0, 1, {s, -s, 0}},  // left edge: one step to the right only
        {2, 0, {s, -s, 0}},  // corner
    };
    for (const Case& c : cases)
        expectNear(vertexNormal(grid, c.c, c.r), c.normal, "at " + std::to_string(c.c) + "," + std::to_string(c.r));
}

}  // namespace
}  // namespace xmo
