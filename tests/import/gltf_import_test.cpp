// glTF files into scene nodes: which node becomes the object, how its
// transforms land in the points, the material rule, pictures, the welded
// shadow hull, and every feature the player leaves out being named.
// Fixtures: tests/data/import (scripts/make-import-models.py) and glTF text
// written here around one triangle.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>

#include "import/import_test_support.h"
#include "scene/mesh_geometry.h"
#include "scene/shadow_mesh.h"
#include "support/near.h"

namespace xmo {
namespace {

using test::Import;

// One triangle (0 0 0, 1 0 0, 0 1 0) in a node "Tri", with room for the
// fragments a case adds: top-level members, the primitive's members, its
// attributes.
std::string triangle(const std::string& top = "", const std::string& primitive = "",
                     const std::string& attributes = "") {
    return R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],"nodes":[{"name":"Tri","mesh":0}],)"
           R"("meshes":[{"primitives":[{"attributes":{"POSITION":0)" +
           attributes + "}" + primitive + "}]}]," +
           R"("accessors":[{"bufferView":0,"componentType":5126,"count":3,"type":"VEC3"}],)"
           R"("bufferViews":[{"buffer":0,"byteLength":36}],"buffers":[{"byteLength":36,)"
           R"("uri":"data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA"}])" +
           top + "}";
}

Import gltfText(const std::string& text, const std::string& objectName = "") {
    return Import(ModelFormat::Gltf, test::Text{text}, "import/inline.gltf", objectName);
}

TEST(GltfImport, TheNamedNodeIsTheObjectInItsOwnCoordinates) {
    struct Case {
        const char* objectName;
        float scale;
        Vec3f min, max;
    };
    // "Car" stands 10 along x and holds a box stretched to x +-1, a bar
    // turned upright at z = 2, a mirrored box at y = 3 and two small boxes.
    const Case cases[] = {
        {"", 1.0f, {9, -0.5f, -0.5f}, {11, 3.5f, 2.1f}},
        {"", 2.0f, {18, -1, -1}, {22, 7, 4.2f}},
        {"Car", 1.0f, {-1, -0.5f, -0.5f}, {1, 3.5f, 2.1f}},
        {"Body", 1.0f, {-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},
        {"Wheel", 0.5f, {-0.25f, -0.05f, -0.05f}, {0.25f, 0.05f, 0.05f}},
    };
    for (const Case& c : cases) {
        Import i(ModelFormat::Gltf, "import/parts.gltf", c.objectName, c.scale);
        ASSERT_NE(i.model.root, nullptr) << c.objectName;
        EXPECT_EQ(i.model.root->DEF, c.objectName);
        const auto [min, max] = i.bounds();
        EXPECT_ALL_NEAR(min, c.min, 1e-5f) << c.objectName << " at " << c.scale;
        EXPECT_ALL_NEAR(max, c.max, 1e-5f) << c.objectName << " at " << c.scale;
    }
    const Import none(ModelFormat::Gltf, "import/parts.gltf", "Bonnet");
    EXPECT_EQ(none.model.root, nullptr);
    EXPECT_EQ(none.reports().back(), "object-not-loaded: import/parts.gltf: no node named \"Bonnet\" in the file");
}

TEST(GltfImport, TransformsTurnPointsAndNormalsAndAMirrorKeepsFacesOutward) {
    Import i(ModelFormat::Gltf, "import/parts.gltf");
    // The bar along x stands along y after its quarter turn about z.
    Vec3f min{1e6f, 1e6f, 1e6f}, max{-1e6f, -1e6f, -1e6f};
    extendMeshBounds(i.mesh("Chrome"), min, max);
    EXPECT_ALL_NEAR(min, (Vec3f{9.9f, -0.5f, 1.9f}), 1e-5f);
    EXPECT_ALL_NEAR(max, (Vec3f{10.1f, 0.5f, 2.1f}), 1e-5f);

    // Every face of every box points away from its box's centre, the
    // mirrored one included, and its listed normals agree with its winding.
    for (const auto& [name, centre] : {std::pair<std::string, Vec3f>{"Red", {10, 0, 0}},
                                       {"Chrome", {10, 0, 2}}, {"", {10, 3, 0}}}) {
        const IndexedFaceSet& mesh = i.mesh(name);
        const auto triangles = test::trianglesOf(mesh);
        ASSERT_EQ(triangles.size(), 12u) << name;
        for (std::size_t t = 0; t < triangles.size(); ++t) {
            const auto& [a, b, c] = triangles[t];
            const Vec3f facing = faceNormal(a, b, c);
            EXPECT_GT(dot(facing, (a + b + c) / 3.0f - centre), 0.0f) << name << " triangle " << t;
            EXPECT_ALL_NEAR(test::normalAt(mesh, t * 4), facing, 1e-5f) << name << " triangle " << t;
        }
    }
}

TEST(GltfImport, MaterialsFollowTheMetallicRoughnessRule) {
    struct Case {
        const char* shape;
        Vec3f diffuse, specular;
        float shininess;
    };
    const Case cases[] = {
        // base 1 0 0, not metallic, roughness 0.5: a faint grey highlight.
        {"Red", {1, 0, 0}, {0.02f, 0.02f, 0.02f}, 32},
        // base 0.5 grey, metallic, smooth: the base colour is the highlight.
        {"Chrome", {0.5f, 0.5f, 0.5f}, {0.5f, 0.5f, 0.5f}, 128},
        // no material: glTF's default, white, metallic and rough.
        {"", {1, 1, 1}, {0, 0, 0}, 0},
    };
    Import i(ModelFormat::Gltf, "import/parts.gltf");
    for (const Case& c : cases) {
        const Shape* shape = i.shape(c.shape);
        ASSERT_TRUE(shape && shape->appearance && shape->appearance->material) << c.shape;
        const Material& m = *shape->appearance->material;
        EXPECT_ALL_NEAR(m.diffuseColor, c.diffuse, 1e-6f) << c.shape;
        EXPECT_ALL_NEAR(m.specularColor, c.specular, 1e-6f) << c.shape;
        EXPECT_FLOAT_EQ(m.shininess, c.shininess) << c.shape;
        EXPECT_FLOAT_EQ(m.ambientIntensity, 0.2f) << c.shape;
        EXPECT_FALSE(shape->appearance->texture) << c.shape;
    }
}

// The colour (red, green, blue) of a picture at texture coordinates u, t.
std::array<int, 3> texel(const Image& image, const Vec2f& uv) {
    const int x = std::min(image.width - 1, static_cast<int>(uv.e[0] * static_cast<float>(image.width)));
    const int y = std::min(image.height - 1, static_cast<int>(uv.e[1] * static_cast<float>(image.height)));
    const std::uint8_t* p = &image.pixels[static_cast<std::size_t>((y * image.width + x) * 4)];
    return {p[2], p[1], p[0]};
}

TEST(GltfImport, PicturesAreDecodedOnceAndEachFaceMapsItsPartOfIt) {
    Import i(ModelFormat::Gltf, "import/textured-cube.glb");
    EXPECT_TRUE(i.diagnostics.empty()) << i.reports().front();
    ASSERT_EQ(i.textures.pending.size(), 1u);
    const PendingTexture& atlas = i.textures.pending[0];
    EXPECT_EQ(atlas.image.width, 48);
    EXPECT_EQ(atlas.image.height, 32);
    const Shape* shape = i.shape("Atlas");
    ASSERT_TRUE(shape && shape->appearance->texture);
    EXPECT_EQ(atlas.users, std::vector<ImageTexture*>{shape->appearance->texture.get()});

    // The middle of each face's upper half takes its face's colour at full
    // strength: +x red, -x cyan, +y green, -y magenta, +z blue, -z yellow.
    const IndexedFaceSet& mesh = i.mesh("Atlas");
    ASSERT_TRUE(mesh.texCoord);
    const std::vector<std::pair<Vec3f, std::array<int, 3>>> faces = {
        {{1, 0, 0}, {255, 0, 0}},   {{-1, 0, 0}, {0, 255, 255}}, {{0, 1, 0}, {0, 255, 0}},
        {{0, -1, 0}, {255, 0, 255}}, {{0, 0, 1}, {0, 0, 255}},   {{0, 0, -1}, {255, 255, 0}}};
    for (const auto& [normal, colour] : faces) {
        // Of the face's six corners, those on its upper edge (highest
        // along the face's up direction) and the centre of the face.
        const Vec3f up = std::fabs(normal.e[1]) > 0.5f ? Vec3f{0, 0, -normal.e[1]} : Vec3f{0, 1, 0};
        Vec2f upper, centre;
        int uppers = 0, corners = 0;
        for (std::size_t r = 0, t = 0; r < mesh.coordIndex.size(); ++r) {
            if (mesh.coordIndex[r] < 0) continue;
            const Vec3f& p = mesh.coord->point[static_cast<std::size_t>(mesh.coordIndex[r])];
            const Vec2f& uv = mesh.texCoord->point[static_cast<std::size_t>(mesh.texCoordIndex[t++])];
            if (dot(test::normalAt(mesh, r), normal) < 0.9f) continue;
            centre += uv;
            ++corners;
            if (dot(p, up) > 0.4f) {
                upper += uv;
                ++uppers;
            }
        }
        ASSERT_EQ(corners, 6);
        centre /= 6.0f;
        upper /= static_cast<float>(uppers);
        EXPECT_EQ(texel(atlas.image, (centre + upper) / 2.0f), colour) << test::describe(normal);
        const std::array<int, 3> dim{colour[0] / 3, colour[1] / 3, colour[2] / 3};
        EXPECT_EQ(texel(atlas.image, 2.0f * centre - (centre + upper) / 2.0f), dim) << test::describe(normal);
    }
}

TEST(GltfImport, PicturesBesideTheFileAreReadAndMissingOnesAreNamed) {
    Import player(ModelFormat::Gltf, "import/parts.gltf");
    ASSERT_EQ(player.textures.pending.size(), 1u) << "the picture that is there";
    EXPECT_EQ(player.textures.pending[0].image.width, 16);
    const ImageTexture& sign = *player.shape("Sign")->appearance->texture;
    EXPECT_EQ(sign.url, "checker.png");
    EXPECT_FALSE(sign.repeatS) << "its sampler clamps";
    EXPECT_TRUE(player.shape("Ghost")->appearance->texture) << "drawn without its picture";
    const std::vector<std::string> expected = {
        "image-problem: import/parts.gltf: image 1 (\"missing.png\"): cannot read \"import/missing.png\": No such "
        "file or directory; the surfaces using it are drawn without it"};
    EXPECT_EQ(player.reports(), expected);
    EXPECT_EQ(player.model.companionFiles,
              (std::vector<std::string>{"import/parts.bin", "import/checker.png", "import/missing.png"}));

    // The tools check the pictures' headers and decode none.
    const ImageHeaderCheck headers;
    Import tool(ModelFormat::Gltf, "import/parts.gltf", "", 1.0f, &headers);
    EXPECT_TRUE(tool.textures.pending.empty());
    EXPECT_EQ(tool.reports(), expected);
}

TEST(GltfImport, TheShadowHullWeldsSeamsSoAClosedModelCastsAClosedVolume) {
    Import cube(ModelFormat::Gltf, "import/textured-cube.glb");
    EXPECT_EQ(cube.mesh("Atlas").coord->point.size(), 24u) << "a point per face corner, as written";
    const IndexedFaceSet* hull = cube.hull();
    ASSERT_NE(hull, nullptr);
    EXPECT_TRUE(hull->castshadow);
    EXPECT_FALSE(cube.mesh("Atlas").castshadow) << "the drawn meshes do not cast";
    EXPECT_EQ(hull->coord->point.size(), 8u);
    EXPECT_EQ(hull->shadowFaces.size(), 12u);
    EXPECT_EQ(countOpenEdges(hull->shadowFaces), 0u);
    EXPECT_TRUE(cube.diagnostics.empty());

    // Loaded for checking, the drawn mesh gets no normals, while the hull is
    // built all the same: check reports its open edges.
    const ImageHeaderCheck headers;
    Import checked(ModelFormat::Gltf, "import/parts.gltf", "", 1.0f, &headers, MeshUse::Checking);
    for (Shape* shape : checked.shapes()) {
        const auto& mesh = dynamic_cast<IndexedFaceSet&>(*shape->geometry);
        EXPECT_FALSE(mesh.normal) << shape->DEF;
        EXPECT_TRUE(mesh.normalIndex.empty()) << shape->DEF;
    }
    ASSERT_NE(checked.hull(), nullptr);
    EXPECT_EQ(checked.hull()->shadowFaces.size(), 60u);

    // Five boxes in five materials: one hull for all, every box closed.
    Import parts(ModelFormat::Gltf, "import/parts.gltf");
    ASSERT_NE(parts.hull(), nullptr);
    EXPECT_EQ(parts.hull()->shadowFaces.size(), 60u);
    EXPECT_EQ(countOpenEdges(parts.hull()->shadowFaces), 0u);

    // A lone triangle is open on all three sides, and says so.
    EXPECT_EQ(gltfText(triangle()).reports(),
              std::vector<std::string>{"open-shadow-edges: import/inline.gltf: 3 open edges; its shadow may leak"});
    EXPECT_EQ(gltfText(triangle(), "Tri").reports(),
              std::vector<std::string>{"open-shadow-edges: import/inline.gltf: \"Tri\": 3 open edges; its shadow may leak"});
}

TEST(GltfImport, WhatThePlayerLeavesOutIsNamed) {
    struct Case {
        const char* feature;
        std::string text;
        std::string report;
        bool drawn = true;  // the triangle is drawn (and so reported open)
        bool loads = true;
    };
    const std::string texture =
        R"(,"images":[{"uri":"checker.png"}],"textures":[{"source":0}],"materials":[{"pbrMetallicRoughness":)"
        R"({"baseColorTexture":{"index":0}},)";
    const std::string accessor = R"("type":"VEC3"}])";
    const std::string sparse =
        R"("type":"VEC3"},{"count":3,"componentType":5126,"type":"VEC3","sparse":{"count":1,)"
        R"("indices":{"bufferView":0,"componentType":5125},"values":{"bufferView":0}}}])";
    const Case cases[] = {
        {"animations", triangle(R"(,"animations":[{"channels":[],"samplers":[]}])"),
         "unsupported-feature: import/inline.gltf: 1 animation is not played"},
        {"cameras", triangle(R"(,"cameras":[{"type":"perspective","perspective":{"yfov":1,"znear":0.1}}])"),
         "unsupported-feature: import/inline.gltf: 1 camera is not used"},
        {"skins", triangle(R"(,"skins":[{"joints":[0]}])"),
         "unsupported-feature: import/inline.gltf: skins are not supported: skinned meshes are drawn in their rest "
         "pose"},
        {"morph targets", triangle("", R"(,"targets":[{"POSITION":0}])"),
         "unsupported-feature: import/inline.gltf: morph targets are not supported: meshes are drawn in their base "
         "shape"},
        {"vertex colours", triangle("", "", R"(,"COLOR_0":0)"),
         "unsupported-feature: import/inline.gltf: vertex colours are not drawn"},
        {"lights", triangle(R"(,"extensionsUsed":["KHR_lights_punctual"])"),
         "unsupported-feature: import/inline.gltf: lights (KHR_lights_punctual) are not used"},
        {"another extension", triangle(R"(,"extensionsUsed":["KHR_materials_clearcoat"])"),
         "unsupported-feature: import/inline.gltf: the extension KHR_materials_clearcoat is not supported; the model "
         "is drawn without it"},
        {"Draco", triangle(R"(,"extensionsUsed":["KHR_draco_mesh_compression"],)"
                           R"("extensionsRequired":["KHR_draco_mesh_compression"])"),
         "object-not-loaded: import/inline.gltf: needs the glTF extension KHR_draco_mesh_compression, which the "
         "player cannot read; the object is not loaded",
         false, false},
        {"meshopt", triangle(R"(,"extensionsUsed":["EXT_meshopt_compression"],)"
                             R"("extensionsRequired":["EXT_meshopt_compression"])"),
         "object-not-loaded: import/inline.gltf: needs the glTF extension EXT_meshopt_compression, which the player "
         "cannot read; the object is not loaded",
         false, false},
        {"lines", triangle("", R"(,"mode":1)"), "unsupported-feature: import/inline.gltf: points and lines are not drawn",
         false},
        {"normal maps", triangle(texture + R"("normalTexture":{"index":0}}])", R"(,"material":0)"),
         "unsupported-feature: import/inline.gltf: normal maps are not drawn"},
        {"blending", triangle(R"(,"materials":[{"alphaMode":"BLEND"}])", R"(,"material":0)"),
         "unsupported-feature: import/inline.gltf: alphaMode BLEND is not drawn: every surface is opaque"},
        {"a sparse accessor", test::replaced(triangle("", "", R"(,"NORMAL":1)"), accessor, sparse),
         "bad-index: import/inline.gltf: NORMAL: accessor 1 is sparse, which the player does not read; flat normals "
         "are used"},
        {"a missing buffer",
         test::replaced(triangle(),
                        "data:application/octet-stream;base64,AAAAAAAAAAAAAAAAAACAPwAAAAAAAAAAAAAAAAAAgD8AAAAA",
                        "nowhere.bin"),
         "object-not-loaded: import/inline.gltf: cannot read \"import/nowhere.bin\": No such file or directory; the "
         "object is not loaded",
         false, false},
    };
    for (const Case& c : cases) {
        const Import i = gltfText(c.text);
        std::vector<std::string> expected{c.report};
        if (c.drawn) expected.push_back("open-shadow-edges: import/inline.gltf: 3 open edges; its shadow may leak");
        std::vector<std::string> reports = i.reports();
        std::sort(reports.begin(), reports.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(reports, expected) << c.feature;
        EXPECT_EQ(i.model.root != nullptr, c.loads) << c.feature;
    }
}

TEST(GltfImport, BrokenFilesAreReportedNeverRead) {
    struct Case {
        const char* name;
        std::string bytes;
        const char* report;
    };
    std::string glb;
    {
        std::ifstream in("import/textured-cube.glb", std::ios::binary);
        glb.assign(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_GT(glb.size(), 100u);
    std::string longBinary = glb;
    longBinary[glb.find("BIN") - 4] += 8;  // the binary chunk claims 8 bytes past the end
    std::string cut = glb.substr(0, glb.size() - 16);
    const Case cases[] = {
        {"not JSON", "{\"asset\": ", "object-not-loaded: import/inline.gltf: not a glTF 2.0 file: "},
        {"a cut-off container", cut,
         "object-not-loaded: import/inline.gltf: not a binary glTF file: the file is shorter than the "},
        {"a binary chunk past the end", longBinary,
         "object-not-loaded: import/inline.gltf: not a binary glTF file: the binary chunk runs past the end of the "
         "file"},
        {"an index past the vertices",
         test::replaced(triangle("", R"(,"indices":1)"), R"("type":"VEC3"}])",
                        R"("type":"VEC3"},{"bufferView":0,"byteOffset":12,"componentType":5125,"count":3,)"
                        R"("type":"SCALAR"}])"),
         "bad-index: import/inline.gltf: mesh 0 primitive 0: index 1065353216 lies outside its 3 vertices; it is left "
         "out"},
        {"an accessor past its view", test::replaced(triangle(), R"("count":3)", R"("count":4)"),
         "bad-index: import/inline.gltf: mesh 0 primitive 0: accessor 0 reaches past the end of its buffer view; it is "
         "left out"},
        {"a view past its buffer", test::replaced(triangle(), R"("byteLength":36})", R"("byteLength":36,"byteOffset":4})"),
         "bad-index: import/inline.gltf: mesh 0 primitive 0: accessor 0: buffer view 0 reaches past the end of buffer "
         "0; it is left out"},
    };
    for (const Case& c : cases) {
        const Import i = gltfText(c.bytes);
        ASSERT_FALSE(i.diagnostics.empty()) << c.name;
        EXPECT_EQ(i.reports().front().rfind(c.report, 0), 0u) << c.name << ": " << i.reports().front();
    }
}

}  // namespace
}  // namespace xmo
