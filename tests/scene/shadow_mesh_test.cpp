#include "scene/shadow_mesh.h"

#include <gtest/gtest.h>

#include "scene/brick_geometry.h"
#include "support/shadow_meshes.h"

namespace xmo {
namespace {

std::vector<ShadowFace> facesWithNeighbours(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex) {
    std::vector<ShadowFace> faces;
    buildShadowFaces(points, coordIndex, faces);
    buildNeighbours(faces);
    return faces;
}

TEST(ShadowMesh, ClosedMeshesHaveANeighbourAcrossEveryEdgeTrianglesTheirClosingOneToo) {
    const BrickGeometry box = buildBrickGeometry(Vec3f{2, 3, 4});
    struct Case {
        const char* name;
        std::vector<Vec3f> points;
        std::vector<int> coordIndex;
        Vec3f inside;
    };
    const Case cases[] = {
        {"a brick's box of six quads", {box.boxCorners.begin(), box.boxCorners.end()}, box.boxIndex, {0, 0, 0}},
        {"a tetrahedron of four triangles",
         {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
         {0, 2, 1, -1, 0, 1, 3, -1, 0, 3, 2, -1, 1, 2, 3, -1},
         {0.25f, 0.25f, 0.25f}},
    };
    for (const Case& c : cases) {
        const std::vector<ShadowFace> faces = facesWithNeighbours(c.points, c.coordIndex);
        for (std::size_t j = 0; j < faces.size(); ++j) {
            const ShadowFace& face = faces[j];
            for (int e = 0; e < 4; ++e) {
                const int n = face.neighbour[e];
                if (face.vertex[e] < 0) {
                    EXPECT_EQ(n, -1) << c.name << ": a triangle's empty slot joins nothing";
                    continue;
                }
                ASSERT_GE(n, 0) << c.name << ": face " << j << " edge " << e;
                const ShadowFace& other = faces[static_cast<std::size_t>(n)];
                int shared = 0;
                for (int v : other.vertex) shared += v >= 0 && (v == face.vertex[e] || v == face.vertex[face.edgeEnd(e)]);
                EXPECT_EQ(shared, 2) << c.name << ": face " << j << " edge " << e;
            }
            // Planes face outwards: the inside lies behind each of them.
            EXPECT_LT(dot(face.plane, c.inside) + face.d, 0.0f) << c.name << ": face " << j;
        }
    }
}

TEST(ShadowMesh, OnlyAMeshMarkedCastshadowGetsShadowFaces) {
    const BrickGeometry box = buildBrickGeometry(Vec3f{2, 3, 4});
    for (bool castshadow : {false, true}) {
        IndexedFaceSet mesh;
        mesh.coord = std::make_unique<Coordinate>();
        mesh.coord->point.assign(box.boxCorners.begin(), box.boxCorners.end());
        mesh.coordIndex = box.boxIndex;
        mesh.castshadow = castshadow;
        mesh.finish();
        EXPECT_EQ(mesh.shadowFaces.size(), castshadow ? 6u : 0u);
    }
}

TEST(ShadowMesh, PolygonsBecomeFacesOfUpToFourSlotsWithAPlaneOnlyWhenTheyHaveOne) {
    const std::vector<Vec3f> points = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 1, 0}, {0, 2, 0}};
    struct Case {
        const char* name;
        std::vector<int> coordIndex;
        std::vector<std::array<int, 4>> vertices;
        std::vector<bool> hasPlane;
    };
    const Case cases[] = {
        {"triangle and quad", {0, 3, 2, -1, 0, 3, 2, 1, -1}, {{0, 3, 2, -1}, {0, 3, 2, 1}}, {true, true}},
        {"six vertices keep four", {0, 3, 2, 1, 4, 5, -1}, {{0, 3, 2, 1}}, {true}},
        {"open last face of four", {0, 3, 2, 1}, {{0, 3, 2, 1}}, {true}},
        {"open last face of three", {0, 3, 2}, {{0, 3, 2, -1}}, {false}},
        {"two vertices", {0, 1, -1}, {{0, 1, -1, -1}}, {false}},
        {"point outside the list", {0, 9, 2, -1}, {{0, 9, 2, -1}}, {false}},
        {"empty polygons", {-1, -1}, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<ShadowFace> faces;
        buildShadowFaces(points, c.coordIndex, faces);
        ASSERT_EQ(faces.size(), c.vertices.size()) << c.name;
        for (std::size_t f = 0; f < faces.size(); ++f) {
            for (int s = 0; s < 4; ++s) EXPECT_EQ(faces[f].vertex[s], c.vertices[f][s]) << c.name << " slot " << s;
            EXPECT_EQ(faces[f].plane != Vec3f{}, c.hasPlane[f]) << c.name;
        }
    }
    // (p1 - p0) x (p2 - p1) for 0, 3, 2: (0, 0, 1) x (1, 0, 0) = (0, 1, 0), through the origin.
    std::vector<ShadowFace> faces;
    buildShadowFaces(points, {0, 3, 2, -1}, faces);
    EXPECT_EQ(faces[0].plane, (Vec3f{0, 1, 0}));
    EXPECT_EQ(faces[0].d, 0.0f);

    EXPECT_EQ(findLargeShadowPolygon({0, 1, 2, -1, 0, 3, 2, 1, 4, 5, -1}),
              "coordIndex entry 4 starts a polygon of 6 vertices; its shadow keeps the first four");
    EXPECT_EQ(findLargeShadowPolygon({0, 1, 2, 3, 4}),
              "coordIndex entry 0 starts a polygon of 5 vertices; its shadow keeps the first four");
    EXPECT_EQ(findLargeShadowPolygon({0, 1, 2, 3, -1, 0}), std::nullopt);
}

TEST(ShadowMesh, HashedNeighboursEqualThePairwiseScan) {
    std::mt19937 random(20240611);
    std::vector<std::pair<std::string, std::vector<ShadowFace>>> meshes;
    for (int i = 0; i < 400; ++i) {
        const int faceCount = 1 + i % 37;
        const int pointCount = 2 + i % 9;  // few points: edges shared by many faces, repeated inside faces
        meshes.emplace_back("random " + std::to_string(i), test::randomFaces(random, faceCount, pointCount));
    }
    const test::IndexedMesh closed = test::closedQuadMesh(7, 5);
    const test::IndexedMesh triangles = test::closedTriangleMesh(7, 5);
    const std::vector<int> open(closed.coordIndex.begin(), closed.coordIndex.begin() + 5 * 20);  // a strip
    for (const auto& [name, index] :
         {std::pair{"closed triangles", triangles.coordIndex}, std::pair{"open", open},
          std::pair{"closed", closed.coordIndex}}) {
        std::vector<ShadowFace> faces;
        buildShadowFaces(closed.points, index, faces);
        meshes.emplace_back(name, faces);
    }
    for (auto& [name, faces] : meshes) {
        std::vector<ShadowFace> expected = faces;
        test::pairwiseNeighbours(expected);
        buildNeighbours(faces);
        for (std::size_t j = 0; j < faces.size(); ++j)
            for (int e = 0; e < 4; ++e)
                ASSERT_EQ(faces[j].neighbour[e], expected[j].neighbour[e]) << name << " face " << j << " edge " << e;
    }
    for (const ShadowFace& f : meshes.back().second)
        for (int n : f.neighbour) EXPECT_GE(n, 0) << "a closed mesh has every slot filled";
}

}  // namespace
}  // namespace xmo
