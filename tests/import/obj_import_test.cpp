// OBJ files into scene nodes: which o/g group becomes the object, polygons
// as fans, checked indices, normals and texture coordinates, the MTL rule
// and pictures, the welded shadow hull, and what the player leaves out.
// OBJ text is written here; its material library and pictures lie in
// tests/data/import (scripts/make-import-models.py).
#include <gtest/gtest.h>

#include <algorithm>

#include "import/import_test_support.h"
#include "scene/mesh_geometry.h"
#include "scene/shadow_mesh.h"
#include "support/near.h"

namespace xmo {
namespace {

using test::Import;

Import objText(const std::string& text, const std::string& objectName = "", float scale = 1.0f) {
    return Import(ModelFormat::Obj, test::Text{text}, "import/inline.obj", objectName, scale);
}

// A unit cube's corners, and its six faces counter-clockwise from outside:
// five as a box open towards -x, and the lid that closes it.
const std::string kCubePoints = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 1\nv 1 0 1\nv 1 1 1\nv 0 1 1\n";
const std::string kCubeBox = "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\n";
const std::string kCubeLid = "f 4 1 5 8\n";

TEST(ObjImport, ObjectsAndGroupsPickTheirFacesAndTheScaleMultiplies) {
    const std::string text = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0 0 5\nv 2 0 5\nv 2 2 5\n"
                             "o Panel   \nf 1 2 3 4\ng Far Away\nf 5 6 7\no Other\nf -3 -2 -1\n";
    struct Case {
        const char* objectName;
        float scale;
        Vec3f min, max;
    };
    const Case cases[] = {
        {"", 1.0f, {0, 0, 0}, {2, 2, 5}},
        {"Panel", 1.0f, {0, 0, 0}, {1, 1, 0}},
        {"Panel", 2.0f, {0, 0, 0}, {2, 2, 0}},
        {"Far Away", 1.0f, {0, 0, 5}, {2, 2, 5}},
        {"Other", 0.5f, {0, 0, 2.5f}, {1, 1, 2.5f}},  // indices counted back from the last point
    };
    for (const Case& c : cases) {
        const Import i = objText(text, c.objectName, c.scale);
        ASSERT_NE(i.model.root, nullptr) << c.objectName;
        const auto [min, max] = i.bounds();
        EXPECT_ALL_NEAR(min, c.min, 1e-6f) << c.objectName;
        EXPECT_ALL_NEAR(max, c.max, 1e-6f) << c.objectName;
    }
    const Import none = objText(text, "Panels");
    EXPECT_EQ(none.model.root, nullptr);
    EXPECT_EQ(none.reports(), std::vector<std::string>{"object-not-loaded: import/inline.obj: no object or group named "
                                                       "\"Panels\" in the file"});
}

TEST(ObjImport, PolygonsBecomeFansAndFacesWithIndicesOutsideTheirListsAreLeftOut) {
    const Import i = objText("v 0 0 0\nv 2 0 0\nv 3 1 0\nv 1 3 0\nv -1 1 0\nvt 0 0\n"
                             "f 1 2 3 4 5\nf 1 2 9\nf 1/7 2/1 3/1\nf 1//4 2 3\n");
    const IndexedFaceSet& mesh = i.mesh("");
    const auto triangles = test::trianglesOf(mesh);
    ASSERT_EQ(triangles.size(), 3u);
    const std::vector<Vec3f> points = {{0, 0, 0}, {2, 0, 0}, {3, 1, 0}, {1, 3, 0}, {-1, 1, 0}};
    for (std::size_t t = 0; t < 3; ++t) {
        EXPECT_EQ(triangles[t][0], points[0]) << "a fan from the first corner";
        EXPECT_EQ(triangles[t][1], points[t + 1]);
        EXPECT_EQ(triangles[t][2], points[t + 2]);
    }
    const std::vector<std::string> expected = {
        "bad-index: import/inline.obj: \"\": 3 faces name a vertex, normal or texture coordinate that does not "
        "exist, or a position that is not finite; left out",
        "open-shadow-edges: import/inline.obj: 5 open edges; its shadow may leak"};
    EXPECT_EQ(i.reports(), expected);
}

TEST(ObjImport, NormalsAreUnitAndFacesWithoutThemAreFlatAndTextureCoordinatesCountFromTheTop) {
    const Import i = objText("mtllib parts.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvn 0 0 2\nvn 1 0 0\nvt 0.25 0.75\n"
                             "usemtl Bricks\nf 1/1/1 2/1/2 3/1/1\nf 1 3 2\n");
    const IndexedFaceSet& textured = dynamic_cast<IndexedFaceSet&>(*i.shapes().at(1)->geometry);
    const IndexedFaceSet& plain = dynamic_cast<IndexedFaceSet&>(*i.shapes().at(0)->geometry);
    ASSERT_TRUE(i.shapes().at(1)->appearance->texture) << "the faces with texture coordinates show the picture";
    EXPECT_FALSE(i.shapes().at(0)->appearance->texture) << "the faces without them the colours alone";
    EXPECT_ALL_NEAR(test::normalAt(textured, 0), (Vec3f{0, 0, 1}), 1e-6f);
    EXPECT_ALL_NEAR(test::normalAt(textured, 1), (Vec3f{1, 0, 0}), 1e-6f);
    EXPECT_ALL_NEAR(textured.texCoord->point.at(0), (Vec2f{0.25f, 0.25f}), 1e-6f);
    EXPECT_ALL_NEAR(test::normalAt(plain, 0), (Vec3f{0, 0, -1}), 1e-6f) << "flat, from the winding";
}

TEST(ObjImport, MaterialsFollowTheMtlRuleAndPicturesAreDecodedOncePerWrap) {
    const Import i = objText("mtllib parts.mtl\nv 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\n"
                             "usemtl Red\nf 1 2 3\nusemtl Bricks\nf 1/1 2/1 3/1\nusemtl Clamped\nf 1/1 2/1 3/1\n"
                             "usemtl Lost\nf 1/1 2/1 3/1\nusemtl Bricks\nf 3/1 2/1 1/1\n");
    const Material& red = *i.shape("Red")->appearance->material;
    EXPECT_ALL_NEAR(red.diffuseColor, (Vec3f{1, 0, 0}), 0.0f);
    EXPECT_ALL_NEAR(red.specularColor, (Vec3f{0.5f, 0.5f, 0.5f}), 0.0f);
    EXPECT_FLOAT_EQ(red.shininess, 64.0f) << "Ns 500 of 1000, on OpenGL's 0 to 128";
    ASSERT_EQ(i.textures.pending.size(), 2u) << "bricks.png repeated and clamped";
    const ImageTexture& bricks = *i.shape("Bricks")->appearance->texture;
    const ImageTexture& clamped = *i.shape("Clamped")->appearance->texture;
    EXPECT_EQ(i.textures.pending[0].users, std::vector<ImageTexture*>{const_cast<ImageTexture*>(&bricks)});
    EXPECT_EQ(i.textures.pending[1].users, std::vector<ImageTexture*>{const_cast<ImageTexture*>(&clamped)});
    EXPECT_TRUE(bricks.repeatS && bricks.repeatT);
    EXPECT_FALSE(clamped.repeatS || clamped.repeatT);
    EXPECT_EQ(test::trianglesOf(i.mesh("Bricks")).size(), 2u) << "one mesh per material";
    EXPECT_EQ(i.reports().front(),
              "image-problem: import/inline.obj: the picture \"missing.png\" of material \"Lost\": cannot read "
              "\"import/missing.png\": No such file or directory; the surfaces using it are drawn without it");
}

TEST(ObjImport, TheShadowHullIsClosedAcrossMaterialsAndRepeatedPoints) {
    struct Case {
        const char* name;
        std::string text;
        std::size_t openEdges;
    };
    // The cube again with a point of its own for every corner of every face.
    const char* corners[] = {"0 0 0", "1 0 0", "1 1 0", "0 1 0", "0 0 1", "1 0 1", "1 1 1", "0 1 1"};
    std::string apart;
    for (const char* face : {"1432", "5678", "1265", "2376", "3487", "4158"}) {
        for (const char* corner = face; *corner; ++corner) apart += std::string("v ") + corners[*corner - '1'] + "\n";
        apart += "f -4 -3 -2 -1\n";
    }
    const Case cases[] = {
        {"a cube in two materials", "mtllib parts.mtl\n" + kCubePoints + "usemtl Red\n" + kCubeBox + "usemtl Bumpy\n" + kCubeLid,
         0},
        {"a cube of repeated points", apart, 0},
        {"a box without its lid", kCubePoints + kCubeBox, 4},
    };
    for (const Case& c : cases) {
        const Import i = objText(c.text);
        const IndexedFaceSet* hull = i.hull();
        ASSERT_NE(hull, nullptr) << c.name;
        EXPECT_EQ(hull->coord->point.size(), 8u) << c.name;
        EXPECT_EQ(countOpenEdges(hull->shadowFaces), c.openEdges) << c.name;
        const bool reported = std::any_of(i.diagnostics.items().begin(), i.diagnostics.items().end(),
                                          [](const Diagnostic& d) { return d.kind == DiagnosticKind::OpenShadowEdges; });
        EXPECT_EQ(reported, c.openEdges > 0) << c.name;
    }
}

TEST(ObjImport, WhatThePlayerLeavesOutIsNamed) {
    std::string wide = "v 0 0 0\nv 1 0 0\nv 1 1 0\no Wide\nf";
    for (int k = 0; k < 300; ++k) wide += " " + std::to_string(1 + k % 3);
    wide += "\no After\nf 1 2 3\n";
    struct Case {
        const char* feature;
        std::string text;
        std::string report;
    };
    const std::string triangle = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";
    const Case cases[] = {
        {"lines and points", triangle + "l 1 2 3\np 1\nf 1 2 3\n",
         "unsupported-feature: import/inline.obj: lines and points are not drawn"},
        {"vertex colours", "v 0 0 0 1 0 0\nv 1 0 0 0 1 0\nv 0 1 0 0 0 1\nf 1 2 3\n",
         "unsupported-feature: import/inline.obj: vertex colours are not drawn"},
        {"other maps", "mtllib parts.mtl\n" + triangle + "usemtl Bumpy\nf 1 2 3\n",
         "unsupported-feature: import/inline.obj: specular (map_Ks) maps are not drawn"},
        {"texture offsets", "mtllib parts.mtl\n" + triangle + "usemtl Shifted\nf 1 2 3\n",
         "unsupported-feature: import/inline.obj: texture offsets and scales (-o, -s) are not applied"},
        {"a missing library", "mtllib nowhere.mtl\n" + triangle + "f 1 2 3\n",
         "missing-file: import/inline.obj: cannot read the material library \"import/nowhere.mtl\": No such file or "
         "directory; its materials are grey"},
        {"a face of 300 corners", wide,
         "unsupported-feature: import/inline.obj: \"Wide\" has a face of more than 255 corners; its faces from there "
         "on are left out"},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> reports = objText(c.text).reports();
        EXPECT_NE(std::find(reports.begin(), reports.end(), c.report), reports.end()) << c.feature << ":\n"
                                                                                       << ::testing::PrintToString(reports);
    }
}

}  // namespace
}  // namespace xmo
