// The world in the player's own GL context: texture upload, the terrain's
// display list, the sky backdrop and the model pass with its stencil shadows.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/gl_setup.h"
#include "app/player_media_loader.h"
#include "image/texture.h"
#include "motion/placement.h"
#include "movie/movie.h"
#include "scene/model_pass.h"
#include "scene/renderer_state.h"
#include "scene/shadow_volume.h"
#include "support/gl_window.h"
#include "terrain/sky.h"
#include "terrain/terrain.h"

namespace xmo {
namespace {

class World : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        if (!test::ensureGlWindow(&error)) GTEST_SKIP() << "no GL window: " << error;
        fov_ = initGL(kScreenWidth, kScreenHeight);
        for (unsigned i = 0; i < 8; ++i) glDisable(kGlLight0 + i);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    }

    // The view from eye towards centre; GL_LIGHT0 stands at (13, 10, 8) in
    // the world.
    static void look(const Vec3f& eye, const Vec3f& centre, const Vec3f& up) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye.e[0], eye.e[1], eye.e[2], centre.e[0], centre.e[1], centre.e[2], up.e[0], up.e[1], up.e[2]);
        glEnable(GL_LIGHT0);
        const float position[4] = {13.0f, 10.0f, 8.0f, 1.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
    }
    // Straight down on the origin from `height`, +x to the right and -z up
    // the screen.
    static void lookDown(float height) { look(Vec3f{0, height, 0}, Vec3f{}, Vec3f{0, 0, -1}); }

    // The window pixel (from the top left) where a world point shows.
    static std::pair<int, int> pixelOf(const Vec3f& p) {
        double model[16], projection[16], x, y, z;
        int viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(p.e[0], p.e[1], p.e[2], model, projection, viewport, &x, &y, &z);
        return {static_cast<int>(x), kScreenHeight - 1 - static_cast<int>(y)};
    }
    static test::Rgba pixelAt(const Vec3f& p) {
        const auto [x, y] = pixelOf(p);
        return test::pixelAt(x, y);
    }

    // A texture of uniform colour, made the way every texture is.
    static Texture plainTexture(std::uint8_t b, std::uint8_t g, std::uint8_t r, int width = 4, int height = 4) {
        Image image;
        image.width = width;
        image.height = height;
        for (int i = 0; i < width * height; ++i) image.pixels.insert(image.pixels.end(), {b, g, r, 255});
        return uploadTexture(image);
    }

    FieldOfView fov_;
};

TEST_F(World, TheTerrainShowsFromItsFirstDrawAndLeavesReplaceBehind) {
    Image black;
    black.width = black.height = 21;
    black.pixels.assign(pixelBytes(black), 0);
    Terrain terrain;
    terrain.grid = buildTerrainGrid(black);
    buildTerrain(terrain);
    terrain.texture = plainTexture(128, 128, 128);
    lookDown(50.0f);  // the whole grid in view, with its far edge

    terrain.draw();
    test::saveFrameForInspection("world_terrain");
    const test::Rgba ground = pixelAt(Vec3f{0, 0, 0});
    const test::Rgba beyond = pixelAt(Vec3f{0, 0, -24});  // past the grid's far edge
    EXPECT_GT(ground.g, 60);
    EXPECT_EQ(ground.r, ground.b) << "grey ground";
    EXPECT_EQ(beyond.r + beyond.g + beyond.b, 0);

    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(World, TheSkyShowsTheBandOfTheTextureTheCameraHeadsFor) {
    // Four vertical bands, a quarter turn each: red, green, blue, white. The
    // band seen along +x lies past the texture's edge: only a repeating
    // texture shows it.
    Image bands;
    bands.width = 8;
    bands.height = 4;
    const std::uint8_t colours[4][3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}, {255, 255, 255}};
    for (int y = 0; y < bands.height; ++y)
        for (int x = 0; x < bands.width; ++x) {
            const std::uint8_t* c = colours[x / 2];
            bands.pixels.insert(bands.pixels.end(), {c[0], c[1], c[2], 255});
        }
    const SkyTexture sky{uploadTexture(bands)};
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    struct Case {
        const char* name;
        Vec3f lookAt;
        test::Rgba colour;
    };
    const Case cases[] = {
        {"along -z: the first quarter", {0, 0, -1}, {255, 0, 0, 255}},
        {"along +z: the third", {0, 0, 1}, {0, 0, 255, 255}},
        {"along +x: the last, wrapped round", {1, 0, 0}, {255, 255, 255, 255}},
    };
    float projectionBefore[16], projectionAfter[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    for (const Case& c : cases) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawSky(sky, Vec3f{}, c.lookAt, fov_.x, fov_.y);
        test::saveFrameForInspection(std::string("world_sky_") + c.name);
        const test::Rgba got = test::pixelAt(kScreenWidth / 2, kScreenHeight / 2);
        EXPECT_EQ(got.r, c.colour.r) << c.name;
        EXPECT_EQ(got.g, c.colour.g) << c.name;
        EXPECT_EQ(got.b, c.colour.b) << c.name;
    }
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(projectionAfter[i], projectionBefore[i]);
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
}

// A film on flat ground, played frame by frame through the model pass. The
// ground is the terrain of a black height map with a black surface, which
// the terrain's GL_BLEND environment shows in its plain lit colour.
class Film {
public:
    Film() {
        Image black;
        black.width = black.height = 21;
        black.pixels.assign(pixelBytes(black), 0);
        terrain.grid = buildTerrainGrid(black);
        buildTerrain(terrain);
        black.width = black.height = 1;
        black.pixels.assign(pixelBytes(black), 0);
        terrain.texture = uploadTexture(black);
    }

    BaseObject& brick() {
        auto brick = std::make_unique<BrikObject>();
        brick->size = Vec3f{5, 12, 5};  // about a unit cube round its origin
        brick->color = 15;
        return keep(std::move(brick));
    }
    // The whole of a model file.
    BaseObject& file(const char* name) {
        auto object = std::make_unique<Object>();
        object->filename = name;
        return keep(std::move(object));
    }
    // A unit cube of scene/shadow_boxes.x3d: "Marked" casts, "Unmarked" does not.
    BaseObject& box(const char* group) {
        auto object = std::make_unique<Object>();
        object->filename = "scene/shadow_boxes.x3d";
        object->objectname = group;
        return keep(std::move(object));
    }

    Model& add(BaseObject& object, const Vec3f& position, bool castshadow,
               std::vector<std::unique_ptr<BaseModel>>* into = nullptr) {
        auto model = std::make_unique<Model>();
        model->object = &object;
        model->position = position;
        model->castshadow = castshadow;
        model->enabled = true;
        Model& added = *model;
        (into ? *into : movie.models).push_back(std::move(model));
        return added;
    }

    // One frame's placement and model pass under the view in force.
    void play() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        float view[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, view);
        placeModels(movie, Mat4x4f(view), renderer.lights, console);
        drawModelPass(movie, terrain, invertAffine(Mat4x4f(view)), renderer);
    }

    Movie movie;
    Terrain terrain;
    RendererState renderer;
    std::ostringstream console;

private:
    BaseObject& keep(std::unique_ptr<BaseObject> object) {
        std::ostringstream progress;
        ObjectLoadContext context{progress, diagnostics_, progress, renderer.lights, media_, renderer.textures};
        object->load(context);
        EXPECT_TRUE(object->loaded) << progress.str();
        movie.objects.push_back(std::move(object));
        return *movie.objects.back();
    }
    Diagnostics diagnostics_;
    PlayerMediaLoader media_{console};
};

int brightness(const test::Rgba& c) { return c.r + c.g + c.b; }

// A unit cube centred 1.5 above the origin shadows the ground point below
// its centre along the light offset (13, 10, 8) from it: -0.15 x (13, 10, 8).
constexpr Vec3f kShadowed{-1.95f, 0.0f, -1.2f};
constexpr Vec3f kLightSide{1.95f, 0.0f, 1.2f};

TEST_F(World, CastersDarkenTheGroundWhereTheirVolumesFallAndNowhereElse) {
    Film film;
    Model& first = film.add(film.brick(), Vec3f{0, 1.5f, 0}, true);
    lookDown(12.0f);
    film.play();
    test::saveFrameForInspection("world_shadow_one");
    const int dim = brightness(pixelAt(kShadowed));
    const int bright = brightness(pixelAt(Vec3f{-3.0f, 0.0f, 3.0f}));
    EXPECT_GT(2 * bright, 3 * dim) << "shadow " << dim << ", lit " << bright;
    // The positional light shades the ground a little from place to place.
    const auto isLit = [&](const Vec3f& p) { return brightness(pixelAt(p)) > (dim + bright) / 2; };
    EXPECT_TRUE(isLit(kLightSide)) << "the light side of the brick";
    EXPECT_TRUE(isLit(Vec3f{0, 2, 0})) << "the brick's top";
    EXPECT_TRUE(isLit(Vec3f{-0.5f, 0.0f, -0.8f})) << "ground seen through the volume: in and out again";

    // Moved by 2 along x, the shadow moves with it.
    first.position = Vec3f{2, 1.5f, 0};
    film.play();
    test::saveFrameForInspection("world_shadow_moved");
    EXPECT_TRUE(isLit(kShadowed));
    EXPECT_FALSE(isLit(kShadowed + Vec3f{2, 0, 0}));

    // A second brick higher up on the same line of light: the point lies in
    // both volumes and stays as dim as under one.
    first.position = Vec3f{0, 1.5f, 0};
    film.add(film.brick(), kShadowed + 0.25f * kShadowLight, true);
    film.play();
    test::saveFrameForInspection("world_shadow_overlap");
    EXPECT_NEAR(brightness(pixelAt(kShadowed)), dim, 3);
    EXPECT_TRUE(isLit(Vec3f{-3.0f, 0.0f, 3.0f}));

    GLint stencilFunc = 0;
    glGetIntegerv(GL_STENCIL_FUNC, &stencilFunc);
    EXPECT_EQ(stencilFunc, GL_ALWAYS) << "the pass restores every attribute";
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
}

TEST_F(World, OnlyMarkedMeshesOfEnabledCastingModelsUnderEnabledTransformsCast) {
    struct Case {
        const char* name;
        const char* object;  // a group of scene/shadow_boxes.x3d, or a brick
        bool castshadow;
        bool nested;                                // in a ModelTransform
        void (*switchOff)(Model&, ModelTransform&);  // after two frames with everything on
        bool shadow;
    };
    const auto none = [](Model&, ModelTransform&) {};
    const Case cases[] = {
        {"marked mesh, casting model", "Marked", true, false, none, true},
        {"marked mesh, model without castshadow", "Marked", false, false, none, false},
        {"unmarked mesh, casting model", "Unmarked", true, false, none, false},
        {"brick, casting model", nullptr, true, false, none, true},
        {"casting model in a transform", "Marked", true, true, none, true},
        {"disabled model", "Marked", true, false, [](Model& m, ModelTransform&) { m.enabled = false; }, false},
        {"disabled transform", "Marked", true, true, [](Model&, ModelTransform& t) { t.enabled = false; }, false},
    };
    for (const Case& c : cases) {
        Film film;
        BaseObject& object = c.object ? film.box(c.object) : film.brick();
        auto transform = std::make_unique<ModelTransform>();
        Model& model = film.add(object, Vec3f{0, 1.5f, 0}, c.castshadow, c.nested ? &transform->children : nullptr);
        ModelTransform& transformRef = *transform;
        film.movie.models.push_back(std::move(transform));
        lookDown(12.0f);
        film.play();
        film.play();
        c.switchOff(model, transformRef);
        film.play();
        test::saveFrameForInspection(std::string("world_casting ") + c.name);
        // The light side is lit in every case; the shadowed point, a little
        // further from the light, is lit almost as brightly unless shadowed.
        const int shadowed = brightness(pixelAt(kShadowed));
        const int lit = brightness(pixelAt(kLightSide));
        EXPECT_EQ(10 * shadowed < 7 * lit, c.shadow) << c.name << ": " << shadowed << " against " << lit;
    }
}

TEST_F(World, TheModelPassVisitsEveryModelTwiceAndAFreshMeshShowsInTheFirstFrame) {
    Film film;
    film.add(film.box("Marked"), Vec3f{0, 1.5f, 0}, true);
    auto lost = std::make_unique<Model>();
    lost->id = 7;
    lost->enabled = true;
    film.movie.models.push_back(std::move(lost));
    // From between the cube and its light: the volume lies right behind the
    // cube's middle, where a view ray meets none of its sides.
    const Vec3f centre{0, 1.5f, 0};
    look(centre + 0.4f * kShadowLight, centre, Vec3f{0, 1, 0});
    film.play();
    test::saveFrameForInspection("world_first_frame");
    EXPECT_EQ(film.console.str(), "Object 7 does not exist\nObject 7 does not exist\n");
    const test::Rgba middle = pixelAt(centre);
    EXPECT_GT(middle.g, 200) << "the fully lit pass shows the mesh";
    EXPECT_LT(middle.r + middle.b, 40);
}

// tests/data/import/textured-cube.glb: a unit cube whose faces each show
// their part of one picture, the upper half of it in the face's colour and
// the lower half at a third of that.
TEST_F(World, ATexturedGltfCubeShowsEachFacesPartOfItsPictureTheRightWayUp) {
    Film film;
    film.add(film.file("import/textured-cube.glb"), Vec3f{0, 1.5f, 0}, false);
    uploadModelTextures(film.renderer.textures);
    look(Vec3f{2.4f, 3.2f, 3.0f}, Vec3f{0, 1.5f, 0}, Vec3f{0, 1, 0});
    GLint modeBefore = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &modeBefore);
    film.play();
    film.play();
    test::saveFrameForInspection("world_textured_cube");
    struct Face {
        const char* name;
        Vec3f upper, lower;  // a point in each half of the face's part
        int channel;         // 0 red, 1 green, 2 blue
    };
    const Face faces[] = {
        {"+x red", {0.5f, 1.75f, 0}, {0.5f, 1.25f, 0}, 0},
        {"+y green (its up is -z)", {0, 2, -0.25f}, {0, 2, 0.25f}, 1},
        {"+z blue", {0, 1.75f, 0.5f}, {0, 1.25f, 0.5f}, 2},
    };
    for (const Face& f : faces) {
        const test::Rgba upper = pixelAt(f.upper), lower = pixelAt(f.lower);
        const int u[3] = {upper.r, upper.g, upper.b}, l[3] = {lower.r, lower.g, lower.b};
        for (int c = 0; c < 3; ++c) {
            if (c == f.channel) continue;
            EXPECT_GT(u[f.channel], 3 * u[c] + 20) << f.name << " upper";
            EXPECT_GT(l[f.channel], 3 * l[c] + 10) << f.name << " lower";
        }
        EXPECT_GT(u[f.channel], 2 * l[f.channel]) << f.name << ": the bright half above the dim one";
    }
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D)) << "texturing is on only while a textured shape draws";
    GLint modeAfter = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &modeAfter);
    EXPECT_EQ(modeAfter, modeBefore);
}

// tests/data/import/two-tone-box.obj: a unit cube as an exporter that
// splits by material writes it, red on top and blue elsewhere, every face
// with points of its own. Neither material's mesh is closed; the welded
// whole is, and shadows as the brick of the first test does.
TEST_F(World, AnObjModelSplitByMaterialCastsOneClosedShadow) {
    Film film;
    film.add(film.file("import/two-tone-box.obj"), Vec3f{0, 1.5f, 0}, true);
    lookDown(12.0f);
    film.play();
    film.play();
    test::saveFrameForInspection("world_obj_shadow");
    const int dim = brightness(pixelAt(kShadowed));
    const int bright = brightness(pixelAt(Vec3f{-3.0f, 0.0f, 3.0f}));
    EXPECT_GT(2 * bright, 3 * dim) << "shadow " << dim << ", lit " << bright;
    const auto isLit = [&](const Vec3f& p) { return brightness(pixelAt(p)) > (dim + bright) / 2; };
    EXPECT_TRUE(isLit(kLightSide)) << "the light side of the box";
    EXPECT_TRUE(isLit(Vec3f{-0.5f, 0.0f, -0.8f})) << "ground seen through the volume: in and out again";
    const test::Rgba top = pixelAt(Vec3f{0, 2, 0});
    EXPECT_GT(top.r, 3 * top.b) << "the red top, lit";
}

}  // namespace
}  // namespace xmo
