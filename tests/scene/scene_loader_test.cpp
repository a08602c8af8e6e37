#include "scene/scene_loader.h"

#include <gtest/gtest.h>

#include <sstream>

#include "movie/load_services.h"
#include "movie/movie.h"
#include "scene/mesh_geometry.h"
#include "scene/renderer_state.h"

namespace xmo {
namespace {

struct Loaded {
    std::unique_ptr<Scene> scene;
    std::string errors;
    Diagnostics diagnostics;
};

Loaded load(const std::string& text) {
    Loaded result;
    std::ostringstream errors;
    result.scene = loadSceneText(text.data(), text.size(), "test.x3d", errors, result.diagnostics);
    result.errors = errors.str();
    return result;
}

// The first face set of the first shape of the scene.
IndexedFaceSet& firstMesh(Scene& scene) {
    auto* shape = dynamic_cast<Shape*>(scene.children.at(0).get());
    EXPECT_NE(shape, nullptr);
    auto* mesh = dynamic_cast<IndexedFaceSet*>(shape->geometry.get());
    EXPECT_NE(mesh, nullptr);
    return *mesh;
}

std::string meshScene(const std::string& faceSetAttributes, const std::string& inside) {
    return "<Scene><Shape><IndexedFaceSet " + faceSetAttributes + ">" + inside + "</IndexedFaceSet></Shape></Scene>";
}

// Blanks and commas both separate numbers, as in X3D; a list whose numbers
// do not make whole points says so with its line.
TEST(SceneValues, PointListsAreNumbersTakenThreeAtATime) {
    struct Case {
        const char* point;
        std::vector<Vec3f> expected;
        const char* report;  // empty: none
    };
    const Case cases[] = {
        {"0 0 0, 1 0 0", {{0, 0, 0}, {1, 0, 0}}, ""},
        {"0 0 0, 1 0 0,", {{0, 0, 0}, {1, 0, 0}}, ""},
        {"0 0 0 ,1 2 3 , ", {{0, 0, 0}, {1, 2, 3}}, ""},
        {"0 0 0,\n\n   1.5 -2e1 .25", {{0, 0, 0}, {1.5f, -20, 0.25f}}, ""},
        {"0 0 0 1 0 0", {{0, 0, 0}, {1, 0, 0}}, ""},
        {"0,0,0,,1,0,0", {{0, 0, 0}, {1, 0, 0}}, ""},
        {"0 0 0; 1 0 0", {{0, 0, 0}}, ""},  // not a number: the list ends there
        {"0 0 0, 1 0", {{0, 0, 0}}, "\"Coordinate\" point: 5 numbers are not whole tuples of 3; the last 2 left out"},
        {"1 2", {}, "\"Coordinate\" point: 2 numbers are not whole tuples of 3; the last 2 left out"},
        {"", {}, ""},
    };
    for (const Case& c : cases) {
        Loaded l = load(meshScene("coordIndex=\"\"", std::string("\n<Coordinate point=\"") + c.point + "\"/>"));
        ASSERT_TRUE(l.scene) << c.point;
        EXPECT_EQ(firstMesh(*l.scene).coord->point, c.expected) << c.point;
        std::string reported;
        for (const Diagnostic& d : l.diagnostics.items())
            if (d.kind == DiagnosticKind::UnreadValue) reported = formatDiagnostic(d);
        EXPECT_EQ(reported, *c.report ? std::string("test.x3d:2: ") + c.report : "") << c.point;
    }
}

TEST(SceneValues, IntegerListsAreSeparatedByBlanksAndCommasUpToAnEntryThatIsNotAnInteger) {
    struct Case {
        const char* text;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"0 1 2 3 -1 4 5 6 -1", {0, 1, 2, 3, -1, 4, 5, 6, -1}},
        {"  7   8 ", {7, 8}},
        {"0, 1, 2", {0, 1, 2}},
        {"0 1 2 -1, 3 4 5 -1", {0, 1, 2, -1, 3, 4, 5, -1}},
        {",,5", {5}},
        {"1 99999999999 2", {1}},
        {"1 x 2", {1}},
        {"", {}},
    };
    for (const Case& c : cases) {
        Loaded l = load(meshScene(std::string("coordIndex=\"") + c.text + "\"", "<Coordinate point=\"0 0 0\"/>"));
        EXPECT_EQ(firstMesh(*l.scene).coordIndex, c.expected) << c.text;
    }
}

// As X3D reads them: a Normal or TextureCoordinate without an index list of
// its own is indexed by coordIndex, and a texCoordIndex with -1 runs in step
// with coordIndex; one without -1 has an entry per vertex, as before.
TEST(SceneValues, NormalsAndTextureCoordinatesWithoutTheirIndexFollowCoordIndex) {
    const std::string quads = "coordIndex=\"0 1 2 3 -1 3 2 1 0 -1\"";
    const std::string points = "<Coordinate point=\"0 0 0, 1 0 0, 1 1 0, 0 1 0\"/>";
    const struct {
        std::string faceSet;
        std::string inside;
        bool problem;
    } cases[] = {
        {quads, points + "<Normal vector=\"0 0 1, 0 0 1, 0 0 1, 0 0 1\"/>", false},
        {quads, points + "<TextureCoordinate point=\"0 0, 1 0, 1 1, 0 1\"/>", false},
        {quads + " texCoordIndex=\"0 1 2 3 -1 3 2 1 0 -1\"", points + "<TextureCoordinate point=\"0 0, 1 0, 1 1, 0 1\"/>",
         false},
        {quads + " texCoordIndex=\"0 1 2 3 3 2 1 0\"", points + "<TextureCoordinate point=\"0 0, 1 0, 1 1, 0 1\"/>", false},
        {quads + " texCoordIndex=\"0 1 2 3 -1 3 2\"", points + "<TextureCoordinate point=\"0 0, 1 0, 1 1, 0 1\"/>", true},
    };
    for (const auto& c : cases) {
        Loaded l = load(meshScene(c.faceSet, c.inside));
        const IndexedFaceSet& mesh = firstMesh(*l.scene);
        EXPECT_EQ(findFaceSetProblem(mesh).has_value(), c.problem) << c.faceSet << c.inside;
        if (mesh.texCoord) {
            EXPECT_FALSE(mesh.texCoordIndex.empty());
        }
        if (!mesh.normalsGenerated) {
            EXPECT_EQ(mesh.normalIndex, mesh.coordIndex) << c.faceSet << c.inside;
        }
    }
}

TEST(SceneValues, OnlyLowerCaseTrueIsTrue) {
    const std::pair<const char*, bool> cases[] = {{"true", true}, {"TRUE", false}, {"True", false}, {"1", false}};
    for (const auto& [text, expected] : cases) {
        Loaded l = load(meshScene(std::string("castshadow=\"") + text + "\"", ""));
        EXPECT_EQ(firstMesh(*l.scene).castshadow, expected) << text;
    }
}

TEST(SceneValues, RotationIsAnAxisAndAnAngleInDegrees) {
    Loaded l = load("<Scene><Transform rotation=\"0 1 0 90\" translation=\"1 2 3\"/></Scene>");
    auto* t = dynamic_cast<Transform*>(l.scene->children.at(0).get());
    ASSERT_NE(t, nullptr);
    const Vec3f turned = t->rotation.rotate(Vec3f{1, 0, 0});
    EXPECT_NEAR(turned.e[0], 0.0f, 1e-6f);
    EXPECT_NEAR(turned.e[2], -1.0f, 1e-6f);
    EXPECT_EQ(t->translation, (Vec3f{1, 2, 3}));
    EXPECT_EQ(t->scale, (Vec3f{1, 1, 1})) << "until the file sets it";
    ASSERT_EQ(l.diagnostics.size(), 1u);
    EXPECT_EQ(formatDiagnostic(l.diagnostics.items()[0]),
              "test.x3d:1: \"Transform\": its translation and rotation are not applied in this reading of the file, "
              "only its scale; standard=\"true\" on the Object reads the file as X3D means it, every Transform "
              "applied");
}

TEST(SceneValues, RadiusIsReadAsTextToDoubleOtherFloatsAsStreamExtraction) {
    // Hexadecimal is text-to-double's; a stream reads the 0 and stops.
    Loaded l = load(
        "<Scene><Sphere radius=\"0x10\"/><Shape><Appearance>"
        "<Material shininess=\"0x10\" transparency=\" 0.5abc\" ambientIntensity=\"abc\"/>"
        "</Appearance></Shape></Scene>");
    auto* sphere = dynamic_cast<Sphere*>(l.scene->children.at(0).get());
    ASSERT_NE(sphere, nullptr);
    EXPECT_EQ(sphere->radius, 16.0f);
    auto* shape = dynamic_cast<Shape*>(l.scene->children.at(1).get());
    const Material& m = *shape->appearance->material;
    EXPECT_EQ(m.shininess, 0.0f);
    EXPECT_EQ(m.transparency, 0.5f);
    EXPECT_EQ(m.ambientIntensity, 0.0f);
}

TEST(SceneLoader, MaterialWithoutAttributesHasTheDefaults) {
    Loaded l = load("<Scene><Shape><Appearance><Material/></Appearance></Shape></Scene>");
    auto* shape = dynamic_cast<Shape*>(l.scene->children.at(0).get());
    Material& m = *shape->appearance->material;
    m.computeColours();
    const float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    const float ambient[4] = {0.16f, 0.16f, 0.16f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(m.diffuse[i], diffuse[i]);
        EXPECT_FLOAT_EQ(m.ambient[i], ambient[i]);
        EXPECT_FLOAT_EQ(m.specular[i], i == 3 ? 1.0f : 0.0f);
        EXPECT_FLOAT_EQ(m.emissive[i], i == 3 ? 1.0f : 0.0f);
    }
    EXPECT_FLOAT_EQ(m.shininess, 0.2f);
}

TEST(SceneLoader, SecondSlotElementsReplaceAndGroupsAppend) {
    Loaded l = load(
        "<Scene DEF=\"S\"><Group DEF=\"G\"><Shape><Appearance>"
        "<Material diffuseColor=\"1 0 0\"/><Material diffuseColor=\"0 0 1\"/>"
        "<ImageTexture url='\"a.png\"' repeatS=\"true\"/></Appearance></Shape>"
        "<Group DEF=\"H\"/><Sphere radius=\"2\"/></Group>"
        "<Viewpoint DEF=\"V\" position=\"1 2 3\"/><Viewpoint/></Scene>");
    ASSERT_TRUE(l.scene);
    EXPECT_EQ(l.scene->DEF, "S");
    auto* g = dynamic_cast<Group*>(l.scene->children.at(0).get());
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->parent, l.scene.get());
    ASSERT_EQ(g->children.size(), 3u);
    auto* shape = dynamic_cast<Shape*>(g->children[0].get());
    EXPECT_EQ(shape->appearance->material->diffuseColor, (Vec3f{0, 0, 1}));
    EXPECT_EQ(shape->appearance->texture->url, "\"a.png\"");
    EXPECT_TRUE(shape->appearance->texture->repeatS);
    EXPECT_FALSE(shape->appearance->texture->repeatT);
    EXPECT_EQ(dynamic_cast<Group*>(g->children[1].get())->parent, g);
    ASSERT_EQ(l.scene->viewpoints.size(), 2u);
    EXPECT_EQ(l.scene->viewpoints[0]->position, (Vec3f{1, 2, 3}));
    EXPECT_EQ(l.scene->viewpoints[1]->orientation, Quatf());
    EXPECT_TRUE(l.errors.empty());
}

TEST(SceneLoader, MisplacedElementsAreReportedWithTheFileLineAndSkipped) {
    struct Case {
        const char* body;  // put on line 3 of the file
        const char* message;
    };
    const Case cases[] = {
        {"<Appearance><Material/></Appearance>", "expected \"Appearance\" inside a \"Shape\""},
        {"<IndexedFaceSet><Coordinate point=\"0 0 0\"/></IndexedFaceSet>",
         "expected \"IndexedFaceSet\" inside a \"Shape\""},
        {"<Shape><Material/></Shape>", "expected \"Material\" inside an \"Appearance\""},
        {"<Shape><ImageTexture/></Shape>", "expected \"ImageTexture\" inside an \"Appearance\""},
        {"<Shape><Coordinate point=\"0 0 0\"/></Shape>", "expected \"Coordinate\" inside an \"IndexedFaceSet\""},
        {"<Shape><Normal/></Shape>", "expected \"Normal\" inside an \"IndexedFaceSet\""},
        {"<Shape><TextureCoordinate/></Shape>", "expected \"TextureCoordinate\" inside an \"IndexedFaceSet\""},
    };
    for (const Case& c : cases) {
        const std::string text = std::string("<Scene>\n  <Group DEF=\"A\"/>\n    ") + c.body +
                                 "\n  <Group DEF=\"B\"/>\n</Scene>";
        Loaded l = load(text);
        ASSERT_TRUE(l.scene) << c.body;
        EXPECT_EQ(l.errors, std::string("test.x3d:3: ") + c.message + "; the element is skipped\n") << c.body;
        ASSERT_EQ(l.diagnostics.items().size(), 1u) << c.body;
        EXPECT_EQ(l.diagnostics.items()[0].kind, DiagnosticKind::MisplacedElement);
        EXPECT_EQ(l.diagnostics.items()[0].line, 3);
        EXPECT_EQ(l.scene->children.back()->DEF, "B") << "loading goes on after " << c.body;
    }
}

TEST(SceneLoader, GroupsBeforeAnySceneAreSkipped) {
    Loaded l = load("<X3D>\n<Group><Shape/></Group>\n<Scene><Group DEF=\"G\"/></Scene></X3D>");
    ASSERT_TRUE(l.scene);
    EXPECT_EQ(l.errors, "test.x3d:2: expected \"Group\" inside a \"Scene\", \"Group\" or \"Transform\"; "
                        "the element is skipped\n");
    ASSERT_EQ(l.scene->children.size(), 1u);
}

TEST(SceneLoader, GroupsNestedTooDeepAreSkippedBeforeTheyCanExhaustTheStack) {
    std::string text = "<Scene>";
    for (int i = 0; i < 5000; ++i) text += "<Group>";
    for (int i = 0; i < 5000; ++i) text += "</Group>";
    text += "<Group DEF=\"After\"/></Scene>";
    Loaded l = load(text);
    ASSERT_EQ(l.diagnostics.items().size(), 1u);
    EXPECT_EQ(l.diagnostics.items()[0].message, "\"Group\" nested deeper than 1000 groups; the element is skipped");
    int depth = 0;
    for (Group* g = l.scene.get(); !g->children.empty(); g = dynamic_cast<Group*>(g->children.front().get())) ++depth;
    EXPECT_EQ(depth, 1000);
    EXPECT_EQ(l.scene->children.back()->DEF, "After");
}

TEST(SceneLoader, FileWithoutSceneGivesNoScene) {
    Loaded l = load("<X3D><Viewpoint/></X3D>");
    EXPECT_FALSE(l.scene);
}

TEST(SceneLoader, MalformedXmlKeepsTheSceneAndNamesTheFileLine) {
    Loaded l = load(
        "<Scene>\n"
        "  <Group DEF=\"Done\"/>\n"
        "  <Shape>\n"
        "    <IndexedFaceSet coordIndex=\"0 1 2 -1\">\n"
        "      <Coordinate point=\"0 0 0, 1 0 0, 0 1 0\"/>\n"
        "  </Shape>\n"
        "</Scene>\n");
    ASSERT_TRUE(l.scene);
    EXPECT_EQ(l.errors, "mismatched tag at line 6\n");
    ASSERT_EQ(l.diagnostics.items().size(), 1u);
    EXPECT_EQ(l.diagnostics.items()[0].kind, DiagnosticKind::ParseError);
    EXPECT_EQ(l.diagnostics.items()[0].line, 6);
    EXPECT_EQ(l.scene->children.at(0)->DEF, "Done");
    auto* shape = dynamic_cast<Shape*>(l.scene->children.at(1).get());
    auto* mesh = dynamic_cast<IndexedFaceSet*>(shape->geometry.get());
    EXPECT_FALSE(mesh->finished) << "a face set whose end tag was never seen is not finished";
    EXPECT_FALSE(mesh->normal);
}

TEST(SceneLoader, EmptyTextIsAParseErrorOnLineOne) {
    Loaded l = load("");
    EXPECT_FALSE(l.scene);
    EXPECT_EQ(l.errors, "no element found at line 1\n");
}

TEST(SceneLoader, FaceSetsThatCannotBeDrawnAsWrittenAreReportedOncePerMesh) {
    struct Case {
        std::string attributes;
        std::string inside;
        DiagnosticKind kind;
        const char* message;
    };
    const std::string tri = "<Coordinate point=\"0 0 0, 1 0 0, 0 1 0\"/>";
    const Case cases[] = {
        {"coordIndex=\"0 1 7 -1 0 9 2 -1\"", tri, DiagnosticKind::BadIndex,
         "coordIndex entry 2 is 7, outside the 3 points; it is left out"},
        {"coordIndex=\"0 1 -2 -1\"", tri, DiagnosticKind::BadIndex,
         "coordIndex entry 2 is -2, outside the 3 points; it is left out"},
        {"coordIndex=\"0 1 2 -1\"", "", DiagnosticKind::MissingCoordinates,
         "\"IndexedFaceSet\" without \"Coordinate\": the mesh is not drawn"},
        {"coordIndex=\"0 1 2 -1\" normalIndex=\"0 0 3 -1\"", tri + "<Normal vector=\"0 0 1\"/>",
         DiagnosticKind::BadIndex, "normalIndex entry 2 is 3, outside the 1 normals; it is left out"},
        {"coordIndex=\"0 1 2 -1\" normalIndex=\"0 0\"", tri + "<Normal vector=\"0 0 1, 0 0 1\"/>",
         DiagnosticKind::BadIndex,
         "normalIndex has fewer entries than coordIndex; vertices from entry 2 on have no normal"},
        {"coordIndex=\"0 1 2 -1\" texCoordIndex=\"0 1\"", tri + "<TextureCoordinate point=\"0 0, 1 0\"/>",
         DiagnosticKind::BadIndex,
         "texCoordIndex has fewer entries than the mesh has vertices; vertex 2 on have no texture coordinate"},
        {"coordIndex=\"0 1 2 -1\" texCoordIndex=\"0 1 5\"", tri + "<TextureCoordinate point=\"0 0, 1 0\"/>",
         DiagnosticKind::BadIndex, "texCoordIndex entry 2 is 5, outside the 2 texture coordinates; it is left out"},
        {"castshadow=\"true\" coordIndex=\"0 1 2 -1 0 1 2 0 1 2 -1\"", tri, DiagnosticKind::LargeShadowPolygon,
         "coordIndex entry 4 starts a polygon of 6 vertices; its shadow keeps the first four"},
    };
    for (const Case& c : cases) {
        Loaded l = load("<Scene>\n<Shape>\n<IndexedFaceSet " + c.attributes + ">" + c.inside +
                        "</IndexedFaceSet></Shape></Scene>");
        ASSERT_EQ(l.diagnostics.items().size(), 1u) << c.attributes;
        const Diagnostic& d = l.diagnostics.items()[0];
        EXPECT_EQ(d.kind, c.kind) << c.attributes;
        EXPECT_EQ(d.line, 3) << c.attributes;
        EXPECT_EQ(d.message, c.message) << c.attributes;
        EXPECT_TRUE(firstMesh(*l.scene).finished);
    }
}

TEST(SceneLoader, WellFormedMeshesReportNothing) {
    Loaded l = load(meshScene("coordIndex=\"0 1 2 -1\" texCoordIndex=\"0 1 1\"",
                              "<Coordinate point=\"0 0 0, 1 0 0, 0 1 0\"/><TextureCoordinate point=\"0 0, 1 1\"/>"));
    EXPECT_TRUE(l.diagnostics.empty());
    EXPECT_TRUE(l.errors.empty());
}

TEST(SceneLoader, UnreadableFileIsReportedOnProgressAndThrown) {
    std::ostringstream progress, errors;
    Diagnostics diagnostics;
    EXPECT_THROW(loadSceneFile("scene/no-such-file.x3d", progress, errors, diagnostics), LoadError);
    EXPECT_EQ(progress.str(), "Error in loading file scene/no-such-file.x3d\n");
    EXPECT_THROW(loadSceneFile("scene", progress, errors, diagnostics), LoadError) << "a folder";
}

// Objects taken out of the scene files in tests/data/scene.
struct ObjectLoad {
    Object object;
    std::ostringstream progress, errors;
    Diagnostics diagnostics;
    LightCounter lights;
    NoMediaLoader media;
    ModelTextures textures;

    ObjectLoad(const char* file, const char* name, float scale = 1.0f) {
        object.filename = file;
        object.objectname = name;
        object.scale = scale;
        ObjectLoadContext context{progress, diagnostics, errors, lights, media, textures};
        object.load(context);
    }
};

TEST(ObjectLoad, TakesTheNamedGroupAndMeasuresItWithoutTransforms) {
    ObjectLoad outer("scene/names.x3d", "Twin");
    EXPECT_EQ(outer.progress.str(), ".");
    EXPECT_TRUE(outer.object.loaded);
    ASSERT_NE(outer.object.root, nullptr);
    EXPECT_EQ(outer.object.root->parent, outer.object.scene.get()) << "the outer of two groups named alike wins";
    EXPECT_EQ(outer.object.min, (Vec3f{0, 0, 0}));
    EXPECT_EQ(outer.object.max, (Vec3f{10, 10, 9}));
    ASSERT_TRUE(outer.object.scene->defaultMaterial);
    ASSERT_TRUE(outer.object.scene->lights && outer.object.scene->lights->light);
    EXPECT_EQ(outer.object.scene->lights->light->lightId, kGlLight0);

    ObjectLoad scaled("scene/names.x3d", "Scaled");
    EXPECT_EQ(scaled.object.min, (Vec3f{-1, -2, -3}));
    EXPECT_EQ(scaled.object.max, (Vec3f{1, 1, 4}));

    // The object's scale multiplies the file's coordinates as they are read.
    ObjectLoad larger("scene/names.x3d", "Scaled", 2.5f);
    EXPECT_EQ(larger.object.min, (Vec3f{-2.5f, -5, -7.5f}));
    EXPECT_EQ(larger.object.max, (Vec3f{2.5f, 2.5f, 10}));
}

TEST(ObjectLoad, ModelFilesLoadByTheirExtensionAsSceneFilesDo) {
    ObjectLoad cube("import/textured-cube.glb", "", 2.0f);
    EXPECT_EQ(cube.progress.str(), ".");
    EXPECT_TRUE(cube.object.loaded);
    EXPECT_EQ(cube.object.root, cube.object.scene.get()) << "the whole file without objectname";
    EXPECT_EQ(cube.object.min, (Vec3f{-1, -1, -1}));
    EXPECT_EQ(cube.object.max, (Vec3f{1, 1, 1}));
    ASSERT_TRUE(cube.object.scene->lights && cube.object.scene->lights->light) << "a model file lights as a scene";
    EXPECT_TRUE(cube.diagnostics.empty());

    ObjectLoad car("import/parts.gltf", "Car");
    EXPECT_TRUE(car.object.loaded);
    EXPECT_EQ(car.object.companionFiles,
              (std::vector<std::string>{"import/parts.bin", "import/checker.png", "import/missing.png"}));

    ObjectLoad none("import/parts.gltf", "Nothing");
    EXPECT_EQ(none.progress.str(), "Error in loading objectNothing\n");
    EXPECT_FALSE(none.object.loaded);
    ASSERT_EQ(none.diagnostics.size(), 1u) << "no material is read for a node that is not there";
    EXPECT_EQ(formatDiagnostic(none.diagnostics.items()[0]), "import/parts.gltf: no node named \"Nothing\" in the file");
}

// The subset reading takes only groups, and says what a name is instead.
TEST(ObjectLoad, NamesThatAreNotGroupsFailWithWhatTheyAre) {
    const std::pair<const char*, const char*> cases[] = {
        {"Panel", "\"Panel\" is a Shape, not a group: this reading takes a Group, Transform or Scene; "
                  "standard=\"true\" on the Object takes any node, or the whole scene without objectname"},
        {"PanelMesh", "\"PanelMesh\" is a IndexedFaceSet, not a group"},
        {"Nothing", "no group named \"Nothing\" in the scene; its groups are Twin, Twin, Scaled"},
    };
    for (const auto& [name, message] : cases) {
        ObjectLoad l("scene/names.x3d", name);
        EXPECT_EQ(l.progress.str(), std::string("Error in loading object") + name + "\n");
        EXPECT_FALSE(l.object.loaded);
        EXPECT_EQ(l.object.root, nullptr);
        ASSERT_EQ(l.diagnostics.items().size(), 2u);
        EXPECT_EQ(l.diagnostics.items()[0].kind, DiagnosticKind::UnappliedTransform) << "Scaled moves by 5 5 5";
        EXPECT_EQ(l.diagnostics.items()[1].kind, DiagnosticKind::ObjectNotLoaded);
        const std::string atTheFilmsObject = "Object 0: scene/names.x3d: " + std::string(message);
        EXPECT_EQ(l.diagnostics.items()[1].message.rfind(atTheFilmsObject, 0), 0u) << l.diagnostics.items()[1].message;
    }
}

// What the subset reading leaves out of a file is named once per file:
// geometry it does not draw, the USE it does not follow, a viewpoint that
// moves the object, and a file without any DEF'd group lists its names.
TEST(ObjectLoad, WhatTheSubsetReadingLeavesOutIsNamed) {
    const struct {
        const char* file;
        const char* name;
        std::vector<std::string> reports;
    } cases[] = {
        {"scene/standard/viewpoint.x3d", "World",
         {"scene/standard/viewpoint.x3d: geometry not drawn by this reading: 1 Box; standard=\"true\" on the "
          "Object draws X3D's primitives and triangle sets",
          "scene/standard/viewpoint.x3d:7: 1 USE is not followed by this reading (the first here); "
          "standard=\"true\" on the Object follows them",
          "scene/standard/viewpoint.x3d:3: this Viewpoint moves the whole object as a camera at its position "
          "would see it, since objectname names the Scene: name a group inside it, or read the file with "
          "standard=\"true\", which uses no viewpoint"}},
        {"scene/standard/viewpoint.x3d", "Red",
         {"", "", ": Object 0: scene/standard/viewpoint.x3d: no group named \"Red\" in the scene; its groups are World"}},
        {"scene/standard/part.x3d", "Box",
         {"scene/standard/part.x3d: geometry not drawn by this reading: 1 Box; standard=\"true\" on the Object "
          "draws X3D's primitives and triangle sets",
          ": Object 0: scene/standard/part.x3d: no group named \"Box\": the scene has no group with a DEF name (its DEF "
          "names: Both (Shape)); standard=\"true\" on the Object takes any node, or the whole scene without "
          "objectname"}},
    };
    for (const auto& c : cases) {
        ObjectLoad l(c.file, c.name);
        std::vector<std::string> reports;
        for (const Diagnostic& d : l.diagnostics.items())
            if (d.kind != DiagnosticKind::MissingCoordinates) reports.push_back(formatDiagnostic(d));
        ASSERT_EQ(reports.size(), c.reports.size()) << c.name;
        for (std::size_t i = 0; i < reports.size(); ++i)
            if (!c.reports[i].empty()) {
                EXPECT_EQ(reports[i], c.reports[i]) << c.name;
            }
    }
}

TEST(ObjectLoad, AParseErrorAfterTheNamedGroupClosedStillLoadsIt) {
    ObjectLoad l("scene/broken_after_group.x3d", "Kept");
    EXPECT_EQ(l.errors.str(), "mismatched tag at line 14\n");
    EXPECT_EQ(l.progress.str(), ".");
    EXPECT_TRUE(l.object.loaded);
    EXPECT_EQ(l.object.max, (Vec3f{1, 1, 0}));
}

TEST(FindByName, PrecedenceOfGroupsChildrenAndGeometry) {
    Loaded l = load(
        "<Scene>"
        "<Group DEF=\"First\"><Shape DEF=\"X\"/></Group>"
        "<Group DEF=\"Last\"><Shape><IndexedFaceSet DEF=\"X\"/></Shape><Group DEF=\"X\"/></Group>"
        "<Shape><IndexedFaceSet DEF=\"Mesh\"/></Shape>"
        "</Scene>");
    Scene& scene = *l.scene;
    auto* first = dynamic_cast<Group*>(scene.children[0].get());
    auto* last = dynamic_cast<Group*>(scene.children[1].get());
    auto* lastShape = dynamic_cast<Shape*>(last->children[0].get());
    auto* topShape = dynamic_cast<Shape*>(scene.children[2].get());
    EXPECT_EQ(findByName(scene, "Mesh"), topShape->geometry.get());
    // "Last" is popped before "First"; inside it the geometry match ends its
    // children, then "First"'s child match is recorded last and wins.
    EXPECT_EQ(findByName(scene, "X"), first->children[0].get());
    EXPECT_EQ(findByName(scene, "Last"), last);
    EXPECT_EQ(findByName(scene, ""), &scene) << "an unnamed scene carries the empty name";
    EXPECT_EQ(lastShape->geometry->DEF, "X");
}

}  // namespace
}  // namespace xmo
