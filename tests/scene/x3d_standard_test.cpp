#include "scene/x3d_standard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "image/image_format.h"
#include "scene/mesh_geometry.h"
#include "scene/scene_loader.h"
#include "scene/x3d_geometry.h"
#include "support/near.h"

namespace xmo {
namespace {

// Gives a picture of one pixel for every file whose header would decode.
class OnePixelPictures final : public ImageDecoder {
public:
    std::optional<std::string> decodeImage(const std::uint8_t* bytes, std::size_t size, Image& image) const override {
        std::optional<std::string> problem = findImageBytesProblem(bytes, size);
        if (!problem) image = Image{1, 1, {0, 0, 0, 255}};
        return problem;
    }
};

struct Read {
    ImportedModel reading;
    Diagnostics diagnostics;
    ModelTextures textures;
    OnePixelPictures pictures;
    std::string errors;

    std::vector<std::string> reports() const {
        std::vector<std::string> out;
        for (const Diagnostic& d : diagnostics.items()) out.push_back(formatDiagnostic(d));
        return out;
    }
};

Read readText(const std::string& scene, const std::string& objectName = "", const std::string& fileName = "test.x3d") {
    Read r;
    std::ostringstream errors;
    const std::string text = "<X3D><Scene>" + scene + "</Scene></X3D>";
    ImportServices services{r.diagnostics, r.pictures, r.textures};
    r.reading = readStandardX3dText(text, ImportRequest{fileName, objectName, 1.0f}, services, errors);
    r.errors = errors.str();
    return r;
}

// The mesh the model casts through, drawn by no shape.
const ShadowOnlyMesh* hullOf(const Group& root) {
    for (const auto& child : root.children)
        if (auto* shape = dynamic_cast<Shape*>(child.get()))
            if (auto* hull = dynamic_cast<ShadowOnlyMesh*>(shape->geometry.get())) return hull;
    return nullptr;
}

// The drawn meshes, the hull left out.
std::vector<IndexedFaceSet*> meshesOf(const Group& root) {
    std::vector<IndexedFaceSet*> meshes;
    for (const auto& child : root.children)
        if (auto* shape = dynamic_cast<Shape*>(child.get()))
            if (auto* mesh = dynamic_cast<IndexedFaceSet*>(shape->geometry.get()))
                if (!dynamic_cast<ShadowOnlyMesh*>(mesh)) meshes.push_back(mesh);
    return meshes;
}

const char* kTriangle =
    "<IndexedFaceSet coordIndex=\"0 1 2\"><Coordinate point=\"0 0 0 1 0 0 0 1 0\"/></IndexedFaceSet>";

void expectPoints(const IndexedFaceSet& mesh, const std::vector<Vec3f>& expected, const std::string& what) {
    ASSERT_EQ(mesh.coord->point.size(), expected.size()) << what;
    for (std::size_t i = 0; i < expected.size(); ++i)
        for (int a = 0; a < 3; ++a) EXPECT_NEAR(mesh.coord->point[i].e[a], expected[i].e[a], 1e-5f) << what << " point " << i;
}

// X3D's order: translation, then centre, rotation, scale orientation,
// scale, and back; a chain of transforms applies inside out.
TEST(StandardReading, TransformsApplyInX3dOrder) {
    const struct {
        const char* transform;
        std::vector<Vec3f> points;  // of (0 0 0), (1 0 0), (0 1 0)
    } cases[] = {
        {"translation=\"0 0 5\" rotation=\"0 0 1 1.5707963\" center=\"1 0 0\" scale=\"2 1 1\"",
         {{1, -2, 5}, {1, 0, 5}, {0, -2, 5}}},
        {"scale=\"2 1 1\" scaleOrientation=\"0 0 1 1.5707963\"", {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}}},
        {"rotation=\"0 1 0 3.14159265\"", {{0, 0, 0}, {-1, 0, 0}, {0, 1, 0}}},
        {"", {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}},
    };
    for (const auto& c : cases) {
        Read r = readText(std::string("<Transform ") + c.transform + "><Shape>" + kTriangle + "</Shape></Transform>");
        const auto meshes = meshesOf(*r.reading.root);
        ASSERT_EQ(meshes.size(), 1u) << c.transform;
        expectPoints(*meshes[0], c.points, c.transform);
    }
    Read nested = readText(
        "<Transform translation=\"10 0 0\"><Transform scale=\"3 3 3\"><Shape>" + std::string(kTriangle) +
        "</Shape></Transform></Transform>");
    expectPoints(*meshesOf(*nested.reading.root).at(0), {{10, 0, 0}, {13, 0, 0}, {10, 3, 0}}, "nested");
}

// The corners' normals agree with the winding and face away from the
// primitive's centre, also under a mirroring scale.
void expectOutward(const IndexedFaceSet& mesh, const Vec3f& centre, const std::string& what) {
    std::vector<Vec3f> polygon, normals;
    for (std::size_t r = 0; r < mesh.coordIndex.size(); ++r) {
        if (mesh.coordIndex[r] >= 0) {
            polygon.push_back(mesh.coord->point.at(static_cast<std::size_t>(mesh.coordIndex[r])));
            normals.push_back(mesh.normal->vector.at(static_cast<std::size_t>(mesh.normalIndex.at(r))));
            continue;
        }
        Vec3f winding, middle;
        for (std::size_t i = 0; i < polygon.size(); ++i) {
            winding += cross(polygon[i] - polygon[0], polygon[(i + 1) % polygon.size()] - polygon[0]);
            middle += polygon[i] / static_cast<float>(polygon.size());
        }
        for (const Vec3f& n : normals) {
            EXPECT_GT(dot(n, winding), 0.0f) << what << " polygon ending at " << r;
            EXPECT_GT(dot(n, middle - centre), 0.0f) << what << " polygon ending at " << r;
        }
        polygon.clear();
        normals.clear();
    }
}

TEST(StandardReading, PrimitivesHaveX3dsSizesFacesAndOutwardNormals) {
    const struct {
        const char* geometry;
        Vec3f max;  // the bounds run from -max to max
        std::size_t faces;
        std::size_t triangles;  // of the shadow hull
        const char* open;       // what check says of the hull
    } cases[] = {
        {"<Box/>", {1, 1, 1}, 6, 12, nullptr},
        {"<Box size=\"1 2 3\"/>", {0.5f, 1, 1.5f}, 6, 12, nullptr},
        {"<Sphere/>", {1, 1, 1}, 24 * 12, 24 * 10 * 2 + 2 * 24, nullptr},
        {"<Sphere radius=\"2\"/>", {2, 2, 2}, 24 * 12, 24 * 10 * 2 + 2 * 24, nullptr},
        {"<Cylinder/>", {1, 1, 1}, 3 * 24, 4 * 24, nullptr},
        {"<Cylinder radius=\"0.5\" height=\"4\" top=\"false\"/>", {0.5f, 2, 0.5f}, 2 * 24, 3 * 24,
         "test.x3d: 24 open edges; its shadow may leak"},
        {"<Cone/>", {1, 1, 1}, 2 * 24, 2 * 24, nullptr},
        {"<Cone bottomRadius=\"2\" height=\"3\" bottom=\"false\"/>", {2, 1.5f, 2}, 24, 24,
         "test.x3d: 24 open edges; its shadow may leak"},
    };
    for (const auto& c : cases)
        for (const char* scale : {"1 1 1", "-1 1 1"}) {
            const std::string what = std::string(c.geometry) + " scaled " + scale;
            Read r = readText(std::string("<Transform scale=\"") + scale + "\"><Shape>" + c.geometry + "</Shape></Transform>");
            const auto meshes = meshesOf(*r.reading.root);
            ASSERT_EQ(meshes.size(), 1u) << what;
            const IndexedFaceSet& mesh = *meshes[0];
            EXPECT_EQ(std::count(mesh.coordIndex.begin(), mesh.coordIndex.end(), -1), static_cast<long>(c.faces)) << what;
            Vec3f min, max;
            computeBounds(*r.reading.root, min, max);
            EXPECT_ALL_NEAR(max, c.max, 1e-5f) << what;
            EXPECT_ALL_NEAR(min, -c.max, 1e-5f) << what;
            expectOutward(mesh, Vec3f{}, what);
            EXPECT_FALSE(mesh.castshadow) << what << ": the model casts through its hull";
            const ShadowOnlyMesh* hull = hullOf(*r.reading.root);
            ASSERT_NE(hull, nullptr) << what;
            EXPECT_EQ(hull->shadowFaces.size(), c.triangles) << what;
            EXPECT_EQ(r.reports(), c.open ? std::vector<std::string>{c.open} : std::vector<std::string>{}) << what;
        }
}

// A USE'd shape or mesh is drawn again where it is used; USE before the
// DEF, or inside the node it names, is named and not followed.
TEST(StandardReading, UseRepeatsAnyNodeWhereItIsUsed) {
    Read r = readText(
        "<Shape DEF=\"S\"><Appearance><Material DEF=\"M\" diffuseColor=\"1 0 0\"/></Appearance>" +
        std::string(kTriangle).insert(15, " DEF=\"F\"") + "</Shape>"
        "<Transform translation=\"5 0 0\"><Shape USE=\"S\"/></Transform>"
        "<Transform translation=\"0 5 0\"><Shape><Appearance><Material USE=\"M\"/></Appearance>"
        "<IndexedFaceSet USE=\"F\"/></Shape></Transform>"
        "<Shape USE=\"Later\"/><Group DEF=\"Later\"><Group USE=\"Later\"/></Group>");
    const auto meshes = meshesOf(*r.reading.root);
    ASSERT_EQ(meshes.size(), 3u);
    expectPoints(*meshes[1], {{5, 0, 0}, {6, 0, 0}, {5, 1, 0}}, "USE of the shape");
    expectPoints(*meshes[2], {{0, 5, 0}, {1, 5, 0}, {0, 6, 0}}, "USE of the mesh");
    for (const auto& child : r.reading.root->children) {
        const auto& shape = dynamic_cast<Shape&>(*child);
        if (shape.geometry.get() != hullOf(*r.reading.root)) {
            EXPECT_EQ(shape.appearance->material->diffuseColor, (Vec3f{1, 0, 0}));
        }
    }
    EXPECT_EQ(r.reports(), (std::vector<std::string>{
                               "test.x3d:1: USE \"Later\" names no node DEF'd before it; not followed",
                               "test.x3d:1: USE \"Later\" inside the node it names; not followed",
                               "test.x3d: 9 open edges; its shadow may leak"}));
}

// Switch draws its chosen child, LOD its first level; the grouping nodes
// are groups, a Collision's proxy is not drawn.
TEST(StandardReading, SwitchChoosesLodTakesItsFirstLevel) {
    const auto at = [](float x) {
        return "<Transform translation=\"" + std::to_string(x) + " 0 0\"><Shape>" + kTriangle + "</Shape></Transform>";
    };
    const struct {
        std::string scene;
        std::vector<float> drawnAt;
    } cases[] = {
        {"<Switch whichChoice=\"1\">" + at(1) + at(2) + at(3) + "</Switch>", {2}},
        {"<Switch>" + at(1) + "</Switch>", {}},
        {"<Switch whichChoice=\"7\">" + at(1) + "</Switch>", {}},
        {"<LOD range=\"10\"><MetadataString/>" + at(1) + at(2) + "</LOD>", {1}},
        {"<Collision>" + at(1) + "<Shape containerField=\"proxy\"><Box/></Shape></Collision>", {1}},
        {"<Billboard>" + at(1) + "</Billboard><StaticGroup>" + at(2) + "</StaticGroup><Anchor>" + at(3) + "</Anchor>",
         {1, 2, 3}},
    };
    for (const auto& c : cases) {
        Read r = readText(c.scene);
        const auto meshes = meshesOf(*r.reading.root);
        ASSERT_EQ(meshes.size(), c.drawnAt.size()) << c.scene;
        for (std::size_t i = 0; i < meshes.size(); ++i)
            EXPECT_FLOAT_EQ(meshes[i]->coord->point[0].e[0], c.drawnAt[i]) << c.scene;
    }
}

// objectname names any DEF'd node, taken in its own coordinates; an unknown
// name lists the names there are.
TEST(StandardReading, ObjectnameNamesAnyNode) {
    const std::string scene = "<Transform translation=\"3 0 0\"><Shape DEF=\"Tri\">" +
                              std::string(kTriangle).insert(15, " DEF=\"Mesh\"") + "</Shape></Transform>" +
                              "<Shape><Appearance><Material DEF=\"Paint\"/></Appearance><Box/></Shape>";
    const struct {
        const char* name;
        std::size_t meshes;
        const char* report;
    } cases[] = {
        {"", 2, nullptr},
        {"Tri", 1, nullptr},
        {"Mesh", 1, nullptr},
        {"Paint", 0, nullptr},
        {"Nothing", 0, "no node named \"Nothing\" in the scene; its DEF names are Tri (Shape), Mesh "
                       "(IndexedFaceSet), Paint (Material)"},
    };
    for (const auto& c : cases) {
        Read r = readText(scene, c.name);
        ASSERT_TRUE(r.reading.scene) << c.name;
        if (c.report) {
            EXPECT_EQ(r.reading.root, nullptr);
            EXPECT_EQ(r.reading.whyNoRoot, c.report);
            continue;
        }
        ASSERT_NE(r.reading.root, nullptr) << c.name;
        EXPECT_EQ(r.reading.root->DEF, c.name);
        const auto meshes = meshesOf(*r.reading.root);
        ASSERT_EQ(meshes.size(), c.meshes) << c.name;
        if (*c.name) {
            EXPECT_EQ(r.reading.root->parent, r.reading.scene.get());
        }
        if (c.meshes == 1) {
            EXPECT_FLOAT_EQ(meshes[0]->coord->point[1].e[0], 1.0f) << "without its parents' transforms";
        }
    }
}

// Nodes the film has no use for are named once per file by kind and count,
// with the geometry that is not drawn; a prototype's body is not drawn.
TEST(StandardReading, UnusedNodesAndUndrawnGeometryAreNamedOncePerFile) {
    Read r = readText(
        "<ProtoDeclare name=\"P\"><ProtoBody><Shape><Box/></Shape></ProtoBody></ProtoDeclare>"
        "<ProtoInstance name=\"P\"/><TimeSensor/><PositionInterpolator/><TimeSensor/>"
        "<ROUTE fromNode=\"a\"/><ROUTE fromNode=\"b\"/><DirectionalLight/><Viewpoint position=\"0 0 9\"/>"
        "<Shape><Extrusion/></Shape><Shape><Text/></Shape><Shape><Extrusion/></Shape>");
    EXPECT_EQ(r.reports(),
              (std::vector<std::string>{
                  "test.x3d: not used by the film: 1 ProtoDeclare, 1 ProtoInstance, 2 TimeSensor, "
                  "1 PositionInterpolator, 2 ROUTE, 1 DirectionalLight, 1 Viewpoint",
                  "test.x3d: geometry not drawn by the standard reading: 2 Extrusion, 1 Text"}));
    EXPECT_TRUE(meshesOf(*r.reading.root).empty());
    EXPECT_TRUE(r.reading.scene->viewpoints.empty()) << "a viewpoint never moves the object";
}

// Inline reads a local file into the scene where it stands, its DEF names
// apart; an Inline of a file inside itself, or of no local file, is named.
TEST(StandardReading, InlineReadsLocalFilesOnceAndNotItself) {
    Diagnostics diagnostics;
    ModelTextures textures;
    OnePixelPictures pictures;
    ImportServices services{diagnostics, pictures, textures};
    std::ostringstream errors;
    ImportedModel r = readStandardX3dFile(ImportRequest{"scene/standard/inline.x3d", "Both", 1.0f}, services, errors);
    ASSERT_NE(r.root, nullptr);
    const auto meshes = meshesOf(*r.root);
    ASSERT_EQ(meshes.size(), 2u);
    Vec3f min, max;
    computeBounds(*r.root, min, max);
    EXPECT_ALL_NEAR(min, (Vec3f{9.5f, -0.5f, -0.5f}), 1e-6f);
    EXPECT_ALL_NEAR(max, (Vec3f{10.5f, 5.5f, 0.5f}), 1e-6f);
    EXPECT_EQ(r.companionFiles, std::vector<std::string>{"scene/standard/part.x3d"});
    std::vector<std::string> reports;
    for (const Diagnostic& d : diagnostics.items()) reports.push_back(formatDiagnostic(d));
    EXPECT_EQ(reports, (std::vector<std::string>{
                           "scene/standard/inline.x3d:8: Inline of \"scene/standard/inline.x3d\" inside itself; not read",
                           "scene/standard/inline.x3d:9: Inline names no local file that exists; not read"}));
}

// Face sets by X3D's rules: colours per face or per corner, ccw, concave
// polygons, generated normals flat or smooth by creaseAngle.
TEST(StandardReading, FaceSetsFollowTheirFields) {
    FaceSetFields square;
    square.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 0}};
    FaceSetFaults faults;

    FaceSetFields perFace = square;
    perFace.coordIndex = {0, 1, 2, -1, 0, 2, 3, -1};
    perFace.colors = {{1, 0, 0}, {0, 0, 1}};
    perFace.colorPerVertex = false;
    CornerMesh m = buildFaceSet(perFace, false, faults);
    EXPECT_EQ(m.colors, (std::vector<Vec3f>{{1, 0, 0}, {1, 0, 0}, {1, 0, 0}, {}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {}}));

    FaceSetFields clockwise = square;
    clockwise.coordIndex = {0, 3, 2, 1};
    clockwise.ccw = false;
    m = buildFaceSet(clockwise, false, faults);
    EXPECT_EQ(m.coordIndex, (std::vector<int>{1, 2, 3, 0, -1}));
    EXPECT_EQ(m.normals[0], (Vec3f{0, 0, 1}));

    // An arrow head, concave at point 4: clipped into triangles that all face +z.
    FaceSetFields concave = square;
    concave.coordIndex = {0, 1, 2, 4, 3};
    concave.convex = false;
    m = buildFaceSet(concave, false, faults);
    EXPECT_EQ(m.polygonCount(), 3u);
    for (std::size_t r = 0; r + 3 < m.coordIndex.size(); r += 4) {
        const Vec3f& a = square.points[static_cast<std::size_t>(m.coordIndex[r])];
        const Vec3f& b = square.points[static_cast<std::size_t>(m.coordIndex[r + 1])];
        const Vec3f& c = square.points[static_cast<std::size_t>(m.coordIndex[r + 2])];
        EXPECT_GT(cross(b - a, c - a).e[2], 0.0f) << "triangle at " << r;
    }

    // Two faces at a right angle along the edge 1-2: flat below the crease
    // angle, one shared normal above it.
    FaceSetFields fold;
    fold.points = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 0, -1}};
    fold.coordIndex = {0, 1, 2, -1, 1, 3, 2, -1};
    for (const auto& [angle, smooth] : {std::pair<float, bool>{0.0f, false}, {1.0f, false}, {1.6f, true}}) {
        fold.creaseAngle = angle;
        m = buildFaceSet(fold, false, faults);
        const Vec3f expected = smooth ? normalize(Vec3f{1, 0, 1}) : Vec3f{0, 0, 1};
        EXPECT_ALL_NEAR(m.normals[1], expected, 1e-6f) << angle;
    }
    EXPECT_EQ(faults.badPolygons, 0u);
    FaceSetFields bad = square;
    bad.coordIndex = {0, 1, 9, -1, 0, 1, -1, 0, 1, 2};
    m = buildFaceSet(bad, false, faults);
    EXPECT_EQ(m.polygonCount(), 1u);
    EXPECT_EQ(faults.badPolygons, 2u);
}

TEST(StandardReading, TriangleSetsBecomePolygons) {
    std::vector<int> coordIndex;
    triangleSetIndex(TriangleLayout::Strips, {0, 1, 2, 3, -1, 4, 5, 6}, coordIndex);
    EXPECT_EQ(coordIndex, (std::vector<int>{0, 1, 2, -1, 2, 1, 3, -1, 4, 5, 6, -1}));
    triangleSetIndex(TriangleLayout::Fans, {0, 1, 2, 3}, coordIndex);
    EXPECT_EQ(coordIndex, (std::vector<int>{0, 1, 2, -1, 0, 2, 3, -1}));
    triangleSetCounts(TriangleLayout::Fans, {3, 9}, 5, coordIndex);
    EXPECT_EQ(coordIndex, (std::vector<int>{0, 1, 2, -1})) << "a count beyond the points ends the list";
    triangleSetCounts(TriangleLayout::Triangles, {}, 7, coordIndex);
    EXPECT_EQ(coordIndex, (std::vector<int>{0, 1, 2, -1, 3, 4, 5, -1}));

    Read r = readText("<Shape><IndexedTriangleSet index=\"0 1 2 0 2 3\"><Coordinate point=\"0 0 0 1 0 0 1 1 0 0 1 "
                      "0\"/><Color color=\"1 0 0 0 1 0 0 0 1 1 1 1\"/></IndexedTriangleSet></Shape>");
    const auto meshes = meshesOf(*r.reading.root);
    ASSERT_EQ(meshes.size(), 1u);
    EXPECT_EQ(meshes[0]->coordIndex, (std::vector<int>{0, 1, 2, -1, 0, 2, 3, -1}));
    ASSERT_TRUE(meshes[0]->color);
    EXPECT_EQ(meshes[0]->color->color.at(static_cast<std::size_t>(meshes[0]->colorIndex[6])), (Vec3f{1, 1, 1}))
        << "the fourth point's colour";
}

// ImageTexture pictures lie beside the file and are decoded once per picture
// and wrap, the shapes using one sharing its texture; one that gives no
// picture is named at its line and its surfaces are drawn without it.
TEST(StandardReading, PicturesAreDecodedOnceBesideTheFile) {
    const auto shape = [](const std::string& texture) {
        return "<Shape><Appearance>" + texture + "</Appearance><Box/></Shape>";
    };
    const std::string checker = "<ImageTexture url='\"checker.png\"'/>";
    const struct {
        std::string scene;
        std::vector<std::size_t> users;  // of each pending texture
        std::vector<std::string> reports;
    } cases[] = {
        {shape(checker) + shape(checker), {2}, {}},
        {shape(checker) + shape("<ImageTexture url='\"checker.png\"' repeatS='false'/>"), {1, 1}, {}},
        {shape("<ImageTexture url='\"missing.png\"'/>") + shape("<ImageTexture url='\"missing.png\"'/>"),
         {},
         {"import/test.x3d:1: ImageTexture \"missing.png\": cannot read \"import/missing.png\": No such file or "
          "directory; the surfaces using it are drawn without it"}},
        {shape("<ImageTexture url='\"parts.bin\"'/>"),
         {},
         {"import/test.x3d:1: ImageTexture \"parts.bin\": not a JFIF JPEG, PNG or BMP file; the surfaces using it "
          "are drawn without it"}},
    };
    for (const auto& c : cases) {
        Read r = readText(c.scene, "", "import/test.x3d");
        std::vector<std::size_t> users;
        for (const PendingTexture& picture : r.textures.pending) users.push_back(picture.users.size());
        EXPECT_EQ(users, c.users) << c.scene;
        EXPECT_EQ(r.reports(), c.reports) << c.scene;
        for (const PendingTexture& picture : r.textures.pending)
            for (const ImageTexture* user : picture.users) EXPECT_EQ(user->url, "checker.png");
        EXPECT_EQ(r.reading.companionFiles.size(), 1u) << "the picture is watched with the file";
    }
}

}  // namespace
}  // namespace xmo
