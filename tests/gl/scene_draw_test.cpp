// Scene drawing through a real GL context: bricks, mesh display lists,
// Transform scaling, viewpoints, model placement, the model pass, and the
// standard reading of X3D drawn against the same scene written flat.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "app/gl_setup.h"
#include "motion/placement.h"
#include "movie/load_services.h"
#include "movie/movie.h"
#include "scene/model_pass.h"
#include "scene/renderer_state.h"
#include "scene/scene_loader.h"
#include "support/gl_window.h"
#include "terrain/terrain.h"

namespace xmo {
namespace {

constexpr int kCentreX = kScreenWidth / 2;
constexpr int kCentreY = kScreenHeight / 2;

class SceneDraw : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        if (!test::ensureGlWindow(&error)) GTEST_SKIP() << error;
        // Lights left on by earlier tests would hide whether a scene lit this one.
        for (unsigned i = 0; i < 8; ++i) glDisable(kGlLight0 + i);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, 0.0, 3.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
        clear();
    }

    static void clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
    static Mat4x4f view() {
        float m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        return Mat4x4f(m);
    }
    // The frame's two halves for the model pass: placement, then drawing.
    void drawFrameModels(Movie& movie) {
        placeModels(movie, view(), renderer.lights, console);
        drawModelPass(movie, terrain, invertAffine(view()), renderer);
    }

    std::ostringstream progress, errors, console;
    Diagnostics diagnostics;
    RendererState renderer;
    Terrain terrain;
    NoMediaLoader media;
    ObjectLoadContext context{progress, diagnostics, errors, renderer.lights, media, renderer.textures};
};

std::unique_ptr<Model> placedModel(BaseObject& object, const Vec3f& position) {
    auto model = std::make_unique<Model>();
    model->object = &object;
    model->position = position;
    model->enabled = true;
    return model;
}

std::unique_ptr<BrikObject> redBrick() {
    auto brick = std::make_unique<BrikObject>();
    brick->size = Vec3f{2, 3, 2};
    brick->color = 9;
    return brick;
}

TEST_F(SceneDraw, BricksAloneEnableNoLight) {
    auto brick = redBrick();
    brick->load(context);
    Movie movie;
    movie.models.push_back(placedModel(*brick, Vec3f{0, 0, 0}));
    enableSceneLights(renderer.lights);
    drawFrameModels(movie);
    test::saveFrameForInspection("scene_brick_unlit");
    EXPECT_LT(test::pixelAt(kCentreX, kCentreY).r, 40);
}

TEST_F(SceneDraw, ARedBrickShowsRedFromTheFirstFrameOnceASceneEnabledALight) {
    Movie movie;
    auto scene = std::make_unique<Object>();
    scene->filename = "scene/green_quad.x3d";
    scene->objectname = "Quad";
    auto brick = redBrick();
    movie.models.push_back(placedModel(*scene, Vec3f{30, 0, 0}));  // out of view
    movie.models.push_back(placedModel(*brick, Vec3f{0, 0, 0}));
    auto& brickModel = dynamic_cast<Model&>(*movie.models.back());
    brickModel.castshadow = true;
    scene->load(context);
    brick->load(context);
    ASSERT_TRUE(scene->loaded) << progress.str();

    enableSceneLights(renderer.lights);
    drawFrameModels(movie);
    test::saveFrameForInspection("scene_red_brick");
    const test::Rgba lit = test::pixelAt(kCentreX, kCentreY);
    EXPECT_GT(lit.r, 200);
    EXPECT_LT(lit.g, 40);
    EXPECT_LT(lit.b, 40);
    EXPECT_EQ(console.str(), "");
    ASSERT_EQ(brickModel.casters.size(), 1u) << "the brick's box mesh is its only caster";
    EXPECT_EQ(brickModel.casters[0].mesh, brick->mesh.get());
    EXPECT_EQ(brick->mesh->coordIndex.size(), 30u);
    EXPECT_TRUE(brick->mesh->castshadow);
    EXPECT_TRUE(brick->mesh->finished);
}

TEST_F(SceneDraw, AMeshShowsFromTheDrawThatCompilesIt) {
    Object object;
    object.filename = "scene/green_quad.x3d";
    object.objectname = "Quad";
    object.load(context);
    ASSERT_TRUE(object.loaded);

    for (unsigned draws = 1; draws <= 2; ++draws) {
        clear();
        object.draw(renderer);
        test::saveFrameForInspection("scene_mesh_draw_" + std::to_string(draws));
        const test::Rgba shown = test::pixelAt(kCentreX, kCentreY);
        EXPECT_GT(shown.g, 200) << "draw " << draws;
        EXPECT_LT(shown.r, 40) << "draw " << draws;
        EXPECT_EQ(renderer.casterList.size(), draws);
    }
}

// Where a point of the object is drawn, in GL's column-major convention.
Vec3f applyGlMatrix(const float m[16], const Vec3f& p) {
    Vec3f out;
    for (int i = 0; i < 3; ++i) out.e[i] = m[i] * p.e[0] + m[4 + i] * p.e[1] + m[8 + i] * p.e[2] + m[12 + i];
    return out;
}

// What moves the meshes of an object: a Transform by its scale alone, and the
// scene's first viewpoint only when the object is the Scene itself, as a
// look-at that multiplies the model's matrix.
TEST_F(SceneDraw, TransformScalesAndTheNamedScenesFirstViewpointMoveWhatIsDrawn) {
    struct Case {
        const char* content;     // inside <Scene DEF="S">; QUAD stands for a green quad over the centre
        const char* objectname;  // the node drawn, as an Object naming it
        Vec3f drawnAt;           // where the object's point (1, 2, 3) is drawn
        bool visible;
    };
    const Case cases[] = {
        // The scale is 1 until set.
        {"<Transform translation=\"0 0 0\" rotation=\"0 1 0 45\">QUAD</Transform>", "S", {1, 2, 3}, true},
        {"<Transform scale=\"0 0 0\">QUAD</Transform>", "S", {0, 0, 0}, false},
        {"<Transform scale=\"1 1 1\" translation=\"5 0 0\" rotation=\"0 1 0 90\">QUAD</Transform>", "S", {1, 2, 3},
         true},
        // Seen from a viewpoint looking along +z: half turned round y, then shifted.
        {"<Viewpoint position=\"0.5 0.3 0\"/><Group DEF=\"G\">QUAD</Group>", "S", {-0.5f, 1.7f, -3}, true},
        {"<Viewpoint position=\"0.5 0.3 0\"/><Group DEF=\"G\">QUAD</Group>", "G", {1, 2, 3}, true},
        {"<Group DEF=\"G\"><Viewpoint position=\"0.5 0.3 0\"/>QUAD</Group>", "S", {-0.5f, 1.7f, -3}, true},
        {"<Group DEF=\"G\"><Viewpoint position=\"0.5 0.3 0\"/>QUAD</Group>", "G", {1, 2, 3}, true},
        // Looking along -z the look-at only shifts; the second viewpoint is never used.
        {"<Viewpoint position=\"0.5 0.3 0\" orientation=\"0 1 0 180\"/><Viewpoint position=\"5 5 5\"/>QUAD", "S",
         {0.5f, 1.7f, 3}, true},
        {"<Viewpoint position=\"5 0 0\"/>QUAD", "S", {4, 2, -3}, false},
    };
    const std::string quad =
        "<Shape><Appearance><Material diffuseColor=\"0 0 0\" emissiveColor=\"0 1 0\"/></Appearance>"
        "<IndexedFaceSet coordIndex=\"0 1 2 3 -1\"><Coordinate point=\"-1 -1 0, 1 -1 0, 1 1 0, -1 1 0\"/>"
        "</IndexedFaceSet></Shape>";
    for (const Case& c : cases) {
        std::string text = std::string("<Scene DEF=\"S\">") + c.content + "</Scene>";
        text.replace(text.find("QUAD"), 4, quad);
        std::unique_ptr<Scene> scene = loadSceneText(text.data(), text.size(), "inline.x3d", errors, diagnostics);
        ASSERT_TRUE(scene);
        scene->prepare(renderer.lights);
        Drawable* root = findByName(*scene, c.objectname);
        ASSERT_NE(root, nullptr) << c.objectname;
        float view[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, view);
        renderer.casterList.clear();
        for (int draw = 0; draw < 2; ++draw) {  // the first draw compiles, the second calls the list
            clear();
            glPushMatrix();
            root->draw(renderer);
            glPopMatrix();
        }
        test::saveFrameForInspection(std::string("scene_moved_") + std::to_string(&c - cases));
        EXPECT_EQ(test::pixelAt(kCentreX, kCentreY).g > 200, c.visible) << c.content << " as " << c.objectname;
        ASSERT_EQ(renderer.casterList.size(), 2u);
        const Vec3f drawn = applyGlMatrix(renderer.casterList[1].matrix, Vec3f{1, 2, 3});
        const Vec3f expected = applyGlMatrix(view, c.drawnAt);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(drawn.e[i], expected.e[i], 1e-4f) << c.content << " as " << c.objectname << ", axis " << i;
        clear();
    }
}

// Records how often it is drawn.
class CountingObject : public BaseObject {
public:
    void draw(RendererState&) override { ++draws; }
    void load(ObjectLoadContext&) override {}
    std::string writeXml() const override { return {}; }
    int draws = 0;
};

TEST_F(SceneDraw, ModelsArePlacedWithoutDrawingAndDrawnWhereTheyWerePlaced) {
    CountingObject object;
    Movie movie;
    auto lost = std::make_unique<Model>();
    lost->id = 12;
    lost->enabled = true;
    movie.models.push_back(std::move(lost));

    auto transform = std::make_unique<ModelTransform>();
    transform->position = Vec3f{1, 0, 0};
    transform->rotation = Quatf::fromAxisAngle(Vec3f{0, 0, 1}, 90.0f);
    auto watched = placedModel(object, Vec3f{0, 2, 0});
    watched->rotation = Quatf::fromAxisAngle(Vec3f{1, 1, 0}, 33.0f);
    watched->function = "createparticles";
    auto quiet = placedModel(object, Vec3f{0, 0, 0});
    auto hidden = placedModel(object, Vec3f{0, 0, 0});
    hidden->enabled = false;
    Model& watchedRef = *watched;
    Model& quietRef = *quiet;
    const Mat4x4f transformMatrix = transformPlacement(*transform);
    transform->children.push_back(std::move(watched));
    transform->children.push_back(std::move(quiet));
    transform->children.push_back(std::move(hidden));
    movie.models.push_back(std::move(transform));

    // The model-view matrix the driver builds for the watched model.
    float expected[16], outer[16], inner[16];
    transformMatrix.toFloats(outer);
    modelPlacement(watchedRef).toFloats(inner);
    glPushMatrix();
    glMultMatrixf(outer);
    glMultMatrixf(inner);
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    glPopMatrix();

    placeModels(movie, view(), renderer.lights, console);
    EXPECT_EQ(console.str(), "Object 12 does not exist\nObject 12 does not exist\n") << "once per pass";
    EXPECT_EQ(object.draws, 0);
    ASSERT_TRUE(watchedRef.drawnWithFunction);
    EXPECT_FALSE(quietRef.drawnWithFunction) << "an empty function captures nothing";
    for (int i = 0; i < 16; ++i) EXPECT_EQ(watchedRef.lastModelView[i], expected[i]) << i;

    const Mat4x4f before = view();
    drawAllModels(movie, renderer);
    EXPECT_EQ(object.draws, 2) << "the disabled model is not drawn";
    const Mat4x4f after = view();
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i / 4][i % 4], before[i / 4][i % 4]) << "every draw pops what it pushed";
}

// The standard reading applies each Transform and follows the USE; the
// subset reading of the same boxes, their corners written out, must draw the
// same picture (up to the rounding of the written coordinates).
TEST_F(SceneDraw, AStandardReadFileDrawsAsTheSameSceneWrittenFlat) {
    std::vector<std::uint8_t> pictures[2];
    const char* files[2] = {"scene/standard/boxes.x3d", "scene/standard/boxes-flat.x3d"};
    for (int i = 0; i < 2; ++i) {
        Object object;
        object.filename = files[i];
        object.objectname = "Boxes";
        object.standard = i == 0;
        object.load(context);
        ASSERT_TRUE(object.loaded) << files[i];
        Movie movie;
        auto model = placedModel(object, Vec3f{0, 0, 0});
        model->computeExtents();
        movie.models.push_back(std::move(model));
        clear();
        drawFrameModels(movie);
        pictures[i].resize(static_cast<std::size_t>(kScreenWidth * kScreenHeight * 4));
        glReadPixels(0, 0, kScreenWidth, kScreenHeight, GL_RGBA, GL_UNSIGNED_BYTE, pictures[i].data());
    }
    std::size_t covered = 0, differing = 0;
    for (std::size_t p = 0; p < pictures[0].size(); p += 4) {
        covered += pictures[1][p] > 0;
        bool same = true;
        for (std::size_t c = 0; c < 3; ++c) same = same && std::abs(pictures[0][p + c] - pictures[1][p + c]) <= 2;
        differing += !same;
    }
    const std::size_t pixels = pictures[0].size() / 4;
    EXPECT_GT(covered, pixels / 20) << "both boxes fill a good part of the picture";
    EXPECT_LT(differing, pixels / 1000) << differing << " of " << pixels << " pixels differ";
}

}  // namespace
}  // namespace xmo
