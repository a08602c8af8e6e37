// The world in the player's own GL context: texture upload, the terrain's
// display list, the sky backdrop and the stencil shadow pass.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include "app/gl_setup.h"
#include "image/texture.h"
#include "movie/movie.h"
#include "scene/renderer_state.h"
#include "scene/shadow_volume.h"
#include "support/gl_window.h"
#include "terrain/sky_window.h"
#include "terrain/terrain_geometry.h"

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

    // Looks straight down on the origin from `height`, +x to the right and
    // -z up the screen; GL_LIGHT0 stands at (13, 10, 8) in the world.
    void lookDown(float height) {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(0.0, height, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, -1.0);
        glEnable(GL_LIGHT0);
        const float position[4] = {13.0f, 10.0f, 8.0f, 1.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, position);
    }

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

TEST_F(World, TheTerrainOnlyCompilesOnItsFirstDrawAndLeavesReplaceBehind) {
    Image black;
    black.width = black.height = 21;
    black.pixels.assign(pixelBytes(black), 0);
    const TerrainGrid grid = buildTerrainGrid(black);
    const std::vector<TerrainTriangle> triangles = buildTerrainTriangles(grid);
    const Texture surface = plainTexture(128, 128, 128);
    TerrainDisplayList list;
    lookDown(50.0f);  // the whole grid in view, with its far edge

    drawTerrainTriangles(list, grid, triangles, surface.name);
    const test::Rgba first = pixelAt(Vec3f{0, 0, 0});
    EXPECT_EQ(first.r + first.g + first.b, 0) << "the compiling draw shows nothing";
    drawTerrainTriangles(list, grid, triangles, surface.name);
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
    const Texture sky = uploadTexture(bands);
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
        drawSkyWindow(computeSkyWindow(Vec3f{}, c.lookAt, fov_.x, fov_.y), sky.name);
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

// Flat lit ground and casting bricks, drawn the way the model pass does.
class BrickWorld : public ShadowedWorld {
public:
    explicit BrickWorld(const Mat4x4f& inverseView) : inverseView_(inverseView) {}

    void addBrick(const Vec3f& at) {
        auto brick = std::make_unique<BrikObject>();
        brick->size = Vec3f{5, 12, 5};  // about a unit cube
        brick->color = 15;
        bricks_.push_back(std::move(brick));
        positions_.push_back(at);
    }
    std::vector<Vec3f> positions_;

    void drawWorld() override {
        renderer_.casterList.clear();
        const float white[4] = {0.8f, 0.8f, 0.8f, 1.0f};
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
        glBegin(GL_QUADS);
        glNormal3f(0.0f, 1.0f, 0.0f);
        glVertex3f(-10.0f, 0.0f, -10.0f);
        glVertex3f(-10.0f, 0.0f, 10.0f);
        glVertex3f(10.0f, 0.0f, 10.0f);
        glVertex3f(10.0f, 0.0f, -10.0f);
        glEnd();
        for (std::size_t i = 0; i < bricks_.size(); ++i) {
            glPushMatrix();
            glTranslatef(positions_[i].e[0], positions_[i].e[1], positions_[i].e[2]);
            bricks_[i]->draw(renderer_);
            glPopMatrix();
        }
    }
    void drawShadowVolumes() override {
        glPushMatrix();
        for (const ShadowCaster& caster : renderer_.casterList) drawShadowVolume(caster, inverseView_, quads_);
        glPopMatrix();
    }

private:
    Mat4x4f inverseView_;
    RendererState renderer_;
    std::vector<std::unique_ptr<BrikObject>> bricks_;
    std::vector<ShadowQuad> quads_;
};

TEST_F(World, BricksDarkenTheGroundWhereTheirVolumesFallAndNowhereElse) {
    lookDown(12.0f);
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    const Mat4x4f inverseView = invertAffine(Mat4x4f(view));
    const auto brightness = [](const test::Rgba& c) { return c.r + c.g + c.b; };
    // A brick centred at c shadows the ground point below c along the light
    // offset (13, 10, 8) taken from c: c - 0.15 x (13, 10, 8) for c.y = 1.5.
    const Vec3f shadowed{-1.95f, 0.0f, -1.2f};
    const Vec3f lit{-3.0f, 0.0f, 3.0f};

    BrickWorld one(inverseView);
    one.addBrick(Vec3f{0, 1.5f, 0});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawStencilShadowPass(one);
    test::saveFrameForInspection("world_shadow_one");
    const int dim = brightness(pixelAt(shadowed));
    const int bright = brightness(pixelAt(lit));
    EXPECT_GT(bright, 2 * dim) << "shadow " << dim << ", lit " << bright;
    // The positional light shades the ground a little from place to place.
    const auto isLit = [&](const Vec3f& p) { return brightness(pixelAt(p)) > (dim + bright) / 2; };
    EXPECT_TRUE(isLit(Vec3f{1.95f, 0.0f, 1.2f})) << "the light side of the brick";
    EXPECT_TRUE(isLit(Vec3f{0, 2, 0})) << "the brick's top";
    EXPECT_TRUE(isLit(Vec3f{-0.5f, 0.0f, -0.8f})) << "ground seen through the volume: in and out again";

    // Moved by 2 along x, the shadow moves with it.
    one.positions_[0] = Vec3f{2, 1.5f, 0};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawStencilShadowPass(one);
    test::saveFrameForInspection("world_shadow_moved");
    EXPECT_TRUE(isLit(shadowed));
    EXPECT_FALSE(isLit(shadowed + Vec3f{2, 0, 0}));

    // A second brick higher up on the same line of light: the point lies in
    // both volumes and stays as dim as under one.
    BrickWorld two(inverseView);
    two.addBrick(Vec3f{0, 1.5f, 0});
    two.addBrick(shadowed + 0.25f * kShadowLight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawStencilShadowPass(two);
    test::saveFrameForInspection("world_shadow_overlap");
    EXPECT_NEAR(brightness(pixelAt(shadowed)), dim, 3);
    EXPECT_TRUE(isLit(lit));

    GLint stencilFunc = 0;
    glGetIntegerv(GL_STENCIL_FUNC, &stencilFunc);
    EXPECT_EQ(stencilFunc, GL_ALWAYS) << "the pass restores every attribute";
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));
}

}  // namespace
}  // namespace xmo
