#include "scene/brick_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "movie/load_services.h"
#include "movie/movie.h"
#include "scene/renderer_state.h"
#include "support/near.h"

namespace xmo {
namespace {

constexpr float kTolerance = 1e-6f;

TEST(BrickGeometry, SizeTwoThreeFourHasItsBoxEightStudsAndStudTopsAtPointSixteen) {
    const BrickGeometry g = buildBrickGeometry(Vec3f{2, 3, 4});
    EXPECT_ALL_NEAR(g.half, (Vec3f{0.2f, 0.12f, 0.4f}), kTolerance) << "half extents";

    ASSERT_EQ(g.studs.size(), 8u);
    std::set<std::pair<int, int>> centres;  // in hundredths
    for (const Stud& stud : g.studs) {
        float cx = 0.0f, cz = 0.0f;
        for (int k = 0; k < 5; ++k) {  // the sixth point repeats the first
            cx += stud.cap[static_cast<std::size_t>(k)].e[0] / 5.0f;
            cz += stud.cap[static_cast<std::size_t>(k)].e[2] / 5.0f;
        }
        centres.insert({static_cast<int>(std::lround(cx * 100)), static_cast<int>(std::lround(cz * 100))});
        EXPECT_ALL_NEAR(stud.cap[0], stud.cap[5], kTolerance) << "closing cap point";
        for (std::size_t v = 0; v < 12; ++v) {
            EXPECT_NEAR(stud.side[v].e[1], v % 2 == 0 ? 0.16f : 0.12f, 1e-6f) << "stud tops at 0.16, bases at 0.12";
            const Vec3f outward{stud.side[v].e[0] - cx, 0.0f, stud.side[v].e[2] - cz};
            EXPECT_NEAR(length(outward), 0.06f, 1e-5f) << "radius";
            EXPECT_LT(dot(outward, stud.sideNormal[v]), 0.0f) << "normals point toward the axis";
        }
    }
    const std::set<std::pair<int, int>> expected = {{-10, -30}, {-10, -10}, {-10, 10}, {-10, 30},
                                                    {10, -30},  {10, -10},  {10, 10},  {10, 30}};
    EXPECT_EQ(centres, expected);

    EXPECT_ALL_NEAR(g.boxCorners[0], (Vec3f{-0.2f, 0.12f, 0.4f}), kTolerance) << "corner 0";
    EXPECT_ALL_NEAR(g.boxCorners[6], (Vec3f{0.2f, -0.12f, -0.4f}), kTolerance) << "corner 6";
    const std::vector<int> index = {3, 2, 1, 0, -1, 4, 5, 6, 7, -1, 1, 2, 6, 5, -1,
                                    0, 1, 5, 4, -1, 3, 0, 4, 7, -1, 2, 3, 7, 6, -1};
    EXPECT_EQ(g.boxIndex, index);
    const Vec3f normals[6] = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
    for (int q = 0; q < 6; ++q)
        EXPECT_ALL_NEAR(g.boxQuads[static_cast<std::size_t>(q)].normal, normals[q], kTolerance) << "face normal";
}

TEST(BrickGeometry, BoundsReachOneSixthOfAStudAboveTheBody) {
    Vec3f min, max;
    brickBounds(Vec3f{2, 3, 4}, min, max);
    EXPECT_ALL_NEAR(min, (Vec3f{-0.2f, -0.12f, -0.4f}), kTolerance) << "min";
    EXPECT_ALL_NEAR(max, (Vec3f{0.2f, 0.12f + 0.04f / 6.0f, 0.4f}), kTolerance) << "max";
}

TEST(BrickGeometry, StudRowsFollowTheFloatComparison) {
    struct Case {
        Vec3f size;
        std::size_t studs;
    };
    const Case cases[] = {
        {{1.5f, 1, 1}, 2}, {{1, 1, 1}, 1}, {{0, 3, 2}, 0}, {{2.01f, 1, 0.5f}, 3}, {{1e30f, 1, 1}, kMaxStudsPerAxis},
    };
    for (const Case& c : cases) EXPECT_EQ(buildBrickGeometry(c.size).studs.size(), c.studs) << c.size.e[0];
    EXPECT_FALSE(brickSizeInRange(Vec3f{1, 1, 1e30f}));
    EXPECT_TRUE(brickSizeInRange(Vec3f{48, 3, 48}));
}

TEST(BrickColour, TableEntriesWithEightTenthsSpecularAndClamping) {
    struct Case {
        int color;
        Vec3f diffuse;
    };
    const Case cases[] = {
        {9, {1, 0, 0}}, {0, {0.2f, 0.2f, 0.2f}}, {3, {0, 128 / 255.0f, 1}}, {15, {1, 1, 1}},
        {16, {1, 1, 1}}, {-4, {0.2f, 0.2f, 0.2f}},
    };
    for (const Case& c : cases) {
        const BrickColour colour = brickColour(c.color);
        EXPECT_ALL_NEAR(colour.diffuse, c.diffuse, kTolerance) << "diffuse";
        EXPECT_ALL_NEAR(colour.specular, 0.8f * c.diffuse, kTolerance) << "specular";
    }
    EXPECT_FLOAT_EQ(brickColour(0).specular.e[0], 0.16f);
}

TEST(BrikObjectLoad, SetsBoundsAndReportsColoursAndSizesOutsideTheTable) {
    std::ostringstream progress, errors;
    Diagnostics diagnostics;
    LightCounter lights;
    NoMediaLoader media;
    ModelTextures textures;
    ObjectLoadContext context{progress, diagnostics, errors, lights, media, textures};
    BrikObject good;
    good.size = Vec3f{2, 3, 4};
    good.color = 9;
    good.load(context);
    EXPECT_TRUE(diagnostics.empty());
    EXPECT_ALL_NEAR(good.min, (Vec3f{-0.2f, -0.12f, -0.4f}), kTolerance) << "min";
    EXPECT_TRUE(good.loaded);
    EXPECT_FALSE(good.built) << "load does no drawing work";
    EXPECT_EQ(lights.enableCount, 0) << "a brick brings no light";

    BrikObject bad;
    bad.size = Vec3f{1000, 3, 1};
    bad.color = 20;
    bad.sourceLine = 7;
    bad.load(context);
    ASSERT_EQ(diagnostics.items().size(), 2u);
    EXPECT_EQ(diagnostics.items()[0].kind, DiagnosticKind::ColorOutOfRange);
    EXPECT_EQ(diagnostics.items()[0].line, 7);
    EXPECT_EQ(diagnostics.items()[0].message, "brick colour 20 is outside 0 to 15; drawn as colour 15");
    EXPECT_EQ(diagnostics.items()[1].kind, DiagnosticKind::SizeOutOfRange);
    EXPECT_EQ(bad.color, 20) << "the file's value is kept for saving";
}

}  // namespace
}  // namespace xmo
