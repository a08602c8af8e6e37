#include "scene/shadow_volume.h"

#include <gtest/gtest.h>

#include "motion/placement.h"
#include "scene/shadow_mesh.h"

namespace xmo {
namespace {

void expectNear(const Vec3f& got, const Vec3f& want, const std::string& what) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(got.e[i], want.e[i], 1e-4f) << what << " component " << i;
}

TEST(ShadowVolume, TheLightIsTurnedIntoTheMeshAxesWithoutItsTranslation) {
    const Mat4x4f view = compose(rotationMatrix(Quatf::fromAxisAngle(Vec3f{1, 0, 0}, 30.0f)),
                                 translationMatrix(Vec3f{1, -2, -9}));
    // Placed at (5, 0, 3) and turned 90 degrees about y: the mesh's x axis
    // points along world -z and its z axis along world +x.
    const Mat4x4f placement = compose(translationMatrix(Vec3f{5, 0, 3}),
                                      rotationMatrix(Quatf::fromAxisAngle(Vec3f{0, 1, 0}, 90.0f)));
    float recorded[16];
    compose(view, placement).toFloats(recorded);
    expectNear(lightInMeshSpace(recorded, invertAffine(view)), Vec3f{-8, 10, 13}, "turned");

    compose(view, translationMatrix(Vec3f{100, 50, 7})).toFloats(recorded);
    expectNear(lightInMeshSpace(recorded, invertAffine(view)), kShadowLight, "translated only");
}

struct Mesh {
    std::vector<Vec3f> points;
    std::vector<ShadowFace> faces;
    Mesh(std::vector<Vec3f> p, const std::vector<int>& coordIndex) : points(std::move(p)) {
        buildShadowFaces(points, coordIndex, faces);
        buildNeighbours(faces);
    }
};

// A cube of side 2 around the origin as six outward quads, and an open quad.
Mesh cube() {
    return Mesh({{-1, 1, 1}, {1, 1, 1}, {1, -1, 1}, {-1, -1, 1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}, {-1, -1, -1}},
                {3, 2, 1, 0, -1, 4, 5, 6, 7, -1, 1, 2, 6, 5, -1, 0, 1, 5, 4, -1, 3, 0, 4, 7, -1, 2, 3, 7, 6, -1});
}
Mesh openQuad() { return Mesh({{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}}, {0, 1, 2, 3, -1}); }
// Three faces on the axis planes and a slanted one facing (1, 1, 1).
Mesh tetrahedron() {
    return Mesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {0, 2, 1, -1, 0, 1, 3, -1, 0, 3, 2, -1, 1, 2, 3, -1});
}

TEST(ShadowVolume, SilhouetteQuadsRunAlongEdgesBetweenLitAndUnlitFaces) {
    struct Case {
        const char* name;
        Mesh mesh;
        Vec3f light;
        int lit, quads;
    };
    const Case cases[] = {
        {"above", cube(), {0, 10, 0}, 1, 4},
        {"beside, below the top", cube(), {10, 0.5f, 0}, 1, 4},
        {"above one edge", cube(), {10, 10, 0}, 2, 6},  // the shared edge is not extruded
        {"above one corner", cube(), {10, 10, 10}, 3, 6},
        {"inside", cube(), {0, 0, 0}, 0, 0},
        {"open quad: lit, but no neighbours", openQuad(), kShadowLight, 1, 0},
        {"triangle lit alone: all three edges", tetrahedron(), {10, 10, 10}, 1, 3},
        {"triangle unlit alone: the same three", tetrahedron(), {-10, -10, -10}, 3, 3},
    };
    std::vector<ShadowQuad> quads(3);
    for (Case c : cases) {
        markLitFaces(c.mesh.faces, c.light);
        int lit = 0;
        for (const ShadowFace& f : c.mesh.faces) lit += f.lit;
        EXPECT_EQ(lit, c.lit) << c.name;
        buildSilhouetteQuads(c.mesh.faces, c.mesh.points, c.light, quads);
        EXPECT_EQ(quads.size(), static_cast<std::size_t>(c.quads)) << c.name;
    }

    // The top face's first edge runs from corner 0 to corner 1; its quad is
    // b, a, then both pulled 20 units away from the light.
    Mesh box = cube();
    const Vec3f light{0, 10, 0};
    markLitFaces(box.faces, light);
    buildSilhouetteQuads(box.faces, box.points, light, quads);
    ASSERT_EQ(quads.size(), 4u);
    const float s = 20.0f / std::sqrt(83.0f);  // |(-1, -9, 1)| = sqrt(83)
    expectNear(quads[0].corner[0], Vec3f{1, 1, 1}, "b");
    expectNear(quads[0].corner[1], Vec3f{-1, 1, 1}, "a");
    expectNear(quads[0].corner[2], Vec3f{-1 - s, 1 - 9 * s, 1 + s}, "a extruded");
    expectNear(quads[0].corner[3], Vec3f{1 + s, 1 - 9 * s, 1 + s}, "b extruded");
}

}  // namespace
}  // namespace xmo
