#include "scene/mesh_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace xmo {
namespace {

std::vector<Vec3f> hexagon() {
    std::vector<Vec3f> points;
    for (int k = 0; k < 6; ++k) {
        const float a = static_cast<float>(k) * 3.14159265f / 3.0f;
        points.push_back({std::cos(a), std::sin(a), 0.0f});
    }
    return points;
}

TEST(FlatNormals, EveryVertexOfAPolygonNamesItsFaceNormalAndMinusOnesLineUp) {
    struct Case {
        const char* name;
        std::vector<int> coordIndex;
        std::vector<int> normalIndex;
    };
    const Case cases[] = {
        // Two trailing entries complete a last polygon left open; after a
        // closing -1 they stand alone, naming the last polygon's normal.
        {"hexagon closed by -1", {0, 1, 2, 3, 4, 5, -1}, {0, 0, 0, 0, 0, 0, -1, 0, 0}},
        {"quad without closing -1", {0, 1, 2, 3}, {0, 0, 0, 0}},
        {"two triangles", {0, 1, 2, -1, 0, 2, 3, -1}, {0, 0, 0, -1, 1, 1, 1, -1, 1, 1}},
    };
    for (const Case& c : cases) {
        std::vector<Vec3f> vectors;
        std::vector<int> normalIndex;
        generateFlatNormals(hexagon(), c.coordIndex, vectors, normalIndex);
        EXPECT_EQ(normalIndex, c.normalIndex) << c.name;
        EXPECT_EQ(vectors.size(), static_cast<std::size_t>(c.normalIndex.back() + 1)) << c.name << ": one per polygon";
        for (const Vec3f& n : vectors) {
            EXPECT_NEAR(n.e[2], 1.0f, 1e-6f) << c.name << ": counter-clockwise faces +z";
            EXPECT_NEAR(length(n), 1.0f, 1e-6f);
        }
    }
}

TEST(FlatNormals, EachPolygonGetsTheNormalOfItsFirstThreeVertices) {
    const std::vector<Vec3f> points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    std::vector<Vec3f> vectors;
    std::vector<int> normalIndex;
    generateFlatNormals(points, {0, 1, 2, -1, 0, 3, 1, -1}, vectors, normalIndex);
    ASSERT_EQ(normalIndex.size(), 10u);
    EXPECT_EQ(vectors[static_cast<std::size_t>(normalIndex[0])], (Vec3f{0, 0, 1}));
    EXPECT_EQ(vectors[static_cast<std::size_t>(normalIndex[4])], (Vec3f{0, 1, 0}));
    EXPECT_EQ(vectors[static_cast<std::size_t>(normalIndex[6])], (Vec3f{0, 1, 0}));
}

TEST(FlatNormals, BadIndicesAndDegenerateFacesGiveNoNaNAndKeepTheLayout) {
    const std::vector<Vec3f> points = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}};
    std::vector<Vec3f> vectors;
    std::vector<int> normalIndex;
    // A line, then a triangle, then a polygon naming points that do not exist.
    generateFlatNormals(points, {0, 1, 2, -1, 0, 1, 3, -1, 0, 99, -5, -1}, vectors, normalIndex);
    EXPECT_EQ(normalIndex.size(), 14u);
    for (const Vec3f& n : vectors)
        for (float v : n.e) EXPECT_FALSE(std::isnan(v));
    EXPECT_EQ(vectors[static_cast<std::size_t>(normalIndex[0])], (Vec3f{0, 0, 0}));
    EXPECT_EQ(vectors[static_cast<std::size_t>(normalIndex[4])], (Vec3f{0, 0, 1}));
    EXPECT_EQ(vectors[static_cast<std::size_t>(normalIndex[8])], (Vec3f{0, 0, 1})) << "keeps the previous normal";
}

TEST(FaceSetFinish, GeneratesNormalsOnlyWhenTheFileGaveNone) {
    IndexedFaceSet given;
    given.normal = std::make_unique<Normal>();
    given.normal->vector = {{1, 0, 0}};
    given.coordIndex = {0, 1, 2, -1};
    given.finish();
    EXPECT_EQ(given.normal->vector.size(), 1u);
    EXPECT_TRUE(given.finished);

    IndexedFaceSet noCoordinates;
    noCoordinates.coordIndex = {0, 1, 2, -1};
    noCoordinates.finish();
    ASSERT_TRUE(noCoordinates.normal);
    EXPECT_TRUE(noCoordinates.normalsGenerated);
    EXPECT_EQ(noCoordinates.normalIndex.size(), 6u);
}

// A mesh completed for checking has no normals, yet it must be reported as
// the same mesh completed for drawing is: by the layout of its flat normals,
// where a polygon of fewer than two vertices puts a -1 on a later vertex.
TEST(FaceSetFinish, AMeshCompletedForCheckingHasTheProblemsOfItsDrawnSelf) {
    const struct {
        std::vector<int> coordIndex;
        const char* problem;  // empty: none
        long minusOneAt;      // where the drawn mesh's generated normalIndex has that -1
    } cases[] = {
        {{0, 1, 2, 3, -1, 3, 2, 1, -1}, "", -1},
        {{0, 1, 2, 3}, "", -1},
        {{0, 1, -1, 2, 3, 1, -1}, "", -1},
        {{0, -1, 1, 2, 3, -1}, "normalIndex entry 2 is -1, outside the 7 normals; it is left out", 2},
        {{-1, -1, 0, 1, 2}, "normalIndex entry 2 is -1, outside the 7 normals; it is left out", 2},
        {{0, 1, 2, -1, 0, -1}, "", -1},  // the misplaced -1 falls past the last vertex
        {{0, 1, 7, -1}, "coordIndex entry 2 is 7, outside the 4 points; it is left out", -1},
        {{}, "", -1},
    };
    for (const auto& c : cases) {
        IndexedFaceSet drawn, checked;
        for (IndexedFaceSet* mesh : {&drawn, &checked}) {
            mesh->coord = std::make_unique<Coordinate>();
            mesh->coord->point = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
            mesh->coordIndex = c.coordIndex;
            mesh->castshadow = true;
        }
        drawn.finish(MeshUse::Drawing);
        checked.finish(MeshUse::Checking);
        EXPECT_FALSE(checked.normal);
        EXPECT_TRUE(checked.shadowFaces.empty());
        const std::string name = ::testing::PrintToString(c.coordIndex);
        for (const IndexedFaceSet* mesh : {&drawn, &checked}) {
            const std::optional<FaceSetProblem> found = findFaceSetProblem(*mesh);
            EXPECT_EQ(found ? found->message : "", c.problem) << name;
        }
        if (c.minusOneAt >= 0) {
            EXPECT_EQ(drawn.normalIndex.at(static_cast<std::size_t>(c.minusOneAt)), -1) << name;
        }
    }
}

// Records the walk as text: P( opens a polygon, ) closes it, t/n/v entries.
struct Recorder {
    std::string out;
    void beginPolygon() { out += "P("; }
    void endPolygon() { out += ")"; }
    void texCoord(const Vec2f& t) { out += "t" + std::to_string(static_cast<int>(t.e[0])); }
    void normal(const Vec3f& n) { out += "n" + std::to_string(static_cast<int>(n.e[0])); }
    void vertex(const Vec3f& p) { out += "v" + std::to_string(static_cast<int>(p.e[0])); }
};

TEST(FaceSetWalk, EmitsPolygonsInStepWithTheIndexListsAndLeavesOutBadEntries) {
    IndexedFaceSet mesh;
    mesh.coord = std::make_unique<Coordinate>();
    mesh.coord->point = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}};
    mesh.normal = std::make_unique<Normal>();
    mesh.normal->vector = {{7, 0, 0}, {8, 0, 0}};
    mesh.texCoord = std::make_unique<TextureCoordinate>();
    mesh.texCoord->point = {{5, 0}, {6, 0}};

    struct Case {
        const char* name;
        std::vector<int> coordIndex, normalIndex, texCoordIndex;
        const char* expected;
    };
    const Case cases[] = {
        {"five-sided polygon and a trailing -1", {0, 1, 2, 3, 4, -1}, {0, 0, 1, 1, 0, -1}, {0, 1, 0, 1, 0},
         "P(t5n7v0t6n7v1t5n8v2t6n8v3t5n7v4)P()"},
        {"texture cursor skips -1, normal cursor does not", {0, 1, -1, 2}, {0, 1, -1, 1}, {1, 0, 1},
         "P(t6n7v0t5n8v1)P(t6n8v2)"},
        {"out-of-range entries are left out", {0, 9, -3, 1}, {5, 0, 1, -1}, {0, 4}, "P(t5v0n7n8v1)"},
    };
    for (const Case& c : cases) {
        mesh.coordIndex = c.coordIndex;
        mesh.normalIndex = c.normalIndex;
        mesh.texCoordIndex = c.texCoordIndex;
        Recorder recorder;
        walkFaceSet(mesh, recorder);
        EXPECT_EQ(recorder.out, c.expected) << c.name;
    }

    IndexedFaceSet noCoordinates;
    noCoordinates.coordIndex = {0, 1, 2};
    Recorder nothing;
    walkFaceSet(noCoordinates, nothing);
    EXPECT_EQ(nothing.out, "");
}

TEST(MeshBounds, CoverThePointsTheIndicesNameAndMerge) {
    IndexedFaceSet mesh;
    mesh.coord = std::make_unique<Coordinate>();
    mesh.coord->point = {{1, 2, 3}, {-1, 5, 0}, {100, 100, 100}, {0, -4, 2}};
    mesh.coordIndex = {0, 1, -1, 3, 42, -7};
    Vec3f min{0.5f, 0.5f, 0.5f}, max{0.5f, 0.5f, 0.5f};
    extendMeshBounds(mesh, min, max);
    EXPECT_EQ(min, (Vec3f{-1, -4, 0}));
    EXPECT_EQ(max, (Vec3f{1, 5, 3})) << "the unnamed point 2 does not count";
}

}  // namespace
}  // namespace xmo
