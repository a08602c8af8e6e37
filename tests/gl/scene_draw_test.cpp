// Scene drawing through a real GL context: bricks, mesh display lists,
// Transform scaling, model placement and the model pass.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <sstream>

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
    static Mat4x4f inverseView() {
        float view[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, view);
        return invertAffine(Mat4x4f(view));
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
    drawModelPass(movie, terrain, inverseView(), renderer, console);
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
    drawModelPass(movie, terrain, inverseView(), renderer, console);
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

TEST_F(SceneDraw, AMeshOnlyCompilesOnItsFirstDrawAndShowsFromTheNext) {
    Object object;
    object.filename = "scene/green_quad.x3d";
    object.objectname = "Quad";
    object.load(context);
    ASSERT_TRUE(object.loaded);

    object.draw(renderer);
    test::saveFrameForInspection("scene_mesh_first_draw");
    const test::Rgba first = test::pixelAt(kCentreX, kCentreY);
    EXPECT_EQ(first.g, 0) << "the compiling draw shows nothing";
    ASSERT_EQ(renderer.casterList.size(), 1u) << "yet it is recorded as a caster";

    clear();
    object.draw(renderer);
    test::saveFrameForInspection("scene_mesh_second_draw");
    const test::Rgba second = test::pixelAt(kCentreX, kCentreY);
    EXPECT_GT(second.g, 200);
    EXPECT_LT(second.r, 40);
    EXPECT_EQ(renderer.casterList.size(), 2u);
}

TEST_F(SceneDraw, TransformsApplyTheirScaleOnly) {
    struct Case {
        const char* attributes;
        bool visible;
    };
    const Case cases[] = {
        {"translation=\"0 0 0\" rotation=\"0 1 0 45\"", false},
        {"scale=\"1 1 1\" translation=\"5 0 0\" rotation=\"0 1 0 90\"", true},
    };
    for (const Case& c : cases) {
        const std::string text = std::string("<Scene><Transform ") + c.attributes +
                                 "><Shape><Appearance><Material diffuseColor=\"0 0 0\" emissiveColor=\"0 1 0\"/>"
                                 "</Appearance><IndexedFaceSet coordIndex=\"0 1 2 3 -1\">"
                                 "<Coordinate point=\"-1 -1 0, 1 -1 0, 1 1 0, -1 1 0\"/>"
                                 "</IndexedFaceSet></Shape></Transform></Scene>";
        std::unique_ptr<Scene> scene = loadSceneText(text.data(), text.size(), "inline.x3d", errors, diagnostics);
        ASSERT_TRUE(scene);
        scene->prepare(renderer.lights);
        scene->draw(renderer);
        clear();
        scene->draw(renderer);
        test::saveFrameForInspection(c.visible ? "scene_transform_scaled" : "scene_transform_unscaled");
        EXPECT_EQ(test::pixelAt(kCentreX, kCentreY).g > 200, c.visible) << c.attributes;
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

TEST_F(SceneDraw, AllModelsDrawInPlaceAndMissingObjectsAreReported) {
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
    watched->function = "createparticles";
    auto quiet = placedModel(object, Vec3f{0, 0, 0});
    auto hidden = placedModel(object, Vec3f{0, 0, 0});
    hidden->enabled = false;
    Model& watchedRef = *watched;
    Model& quietRef = *quiet;
    transform->children.push_back(std::move(watched));
    transform->children.push_back(std::move(quiet));
    transform->children.push_back(std::move(hidden));
    const Mat4x4f placement = compose(transformPlacement(*transform), modelPlacement(watchedRef));
    movie.models.push_back(std::move(transform));

    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    drawAllModels(movie, renderer, console);

    EXPECT_EQ(console.str(), "Object 12 does not exist\n");
    EXPECT_EQ(object.draws, 2) << "the disabled model is not drawn";
    ASSERT_TRUE(watchedRef.drawnWithFunction);
    EXPECT_FALSE(quietRef.drawnWithFunction) << "an empty function captures nothing";
    float expected[16];
    compose(Mat4x4f(view), placement).toFloats(expected);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(watchedRef.lastModelView[i], expected[i], 1e-5f) << i;
    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], view[i]) << "every draw pops what it pushed";
}

}  // namespace
}  // namespace xmo
