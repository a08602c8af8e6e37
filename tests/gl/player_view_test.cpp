// The player's own window set-up and view, checked in a real GL context.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <sstream>

#include "app/gl_setup.h"
#include "app/player.h"
#include "app/player_media_loader.h"
#include "scene/renderer_state.h"
#include "support/gl_window.h"

namespace xmo {
namespace {

class PlayerView : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        if (!test::ensureGlWindow(&error)) GTEST_SKIP() << "no GL window: " << error;
        fov_ = initGL(kScreenWidth, kScreenHeight);
    }
    FieldOfView fov_;
};

TEST_F(PlayerView, WindowHasTheBuffersThePlayerAsksFor) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);
    GLint stencil = 0, depth = 0, red = 0;
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_RED_BITS, &red);
    EXPECT_EQ(stencil, 8);
    EXPECT_GE(depth, 16);
    EXPECT_GE(red, 8);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(PlayerView, ProjectionIsSixtyDegreesAtFourThirds) {
    float projection[16], expected[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60.0, 4.0 / 3.0, 1.0, 100.0);
    glGetFloatv(GL_PROJECTION_MATRIX, expected);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(projection[i], expected[i], 1e-6f) << i;
    EXPECT_FLOAT_EQ(fov_.y, 1.0471976f);
    EXPECT_NEAR(fov_.x, 1.3962634f, 1e-6f);  // 80 degrees: linear in the aspect ratio
}

TEST_F(PlayerView, PlusYIsUpOnTheScreenAndTheInverseIsKeptForDegenerateCameras) {
    std::ostringstream sink;
    Player player([] { return 0u; }, sink, sink);
    player.eyePoint = {0, 0, 10};
    player.lookAtPoint = {0, 0, 0};
    player.upVector = {0, 0, 1};

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    updateView(player);
    float view[16];
    player.view.toFloats(view);
    glLoadMatrixf(view);
    glDisable(GL_LIGHTING);
    glPointSize(9.0f);
    glColor3f(1, 1, 1);
    glBegin(GL_POINTS);
    glVertex3f(0, 2, 0);  // a marker on +Y
    glEnd();
    glEnable(GL_LIGHTING);
    glFinish();

    // 2 units up at distance 10 with a 60-degree view: tan = 0.2 of the half
    // height tan(30) = 0.577, i.e. about 104 pixels above the centre row 300.
    const test::Rgba marker = test::pixelAt(400, 196);
    const test::Rgba below = test::pixelAt(400, 404);
    if (marker.r < 200) ADD_FAILURE() << "frame saved to " << test::saveFrameForInspection("plus-y-marker");
    EXPECT_GT(marker.r, 200);
    EXPECT_LT(below.r, 50);

    // The inverse view puts the camera back at its eye point.
    EXPECT_NEAR(player.inverseView[3][2], 10.0f, 1e-5f);
    EXPECT_EQ(player.billboardMatrix[14], 0.0f);
    EXPECT_NEAR(player.billboardMatrix[5], 1.0f, 1e-6f);

    const Mat4x4f kept = player.inverseView;
    player.lookAtPoint = player.eyePoint;  // no direction to look in
    updateView(player);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(player.inverseView[r][c], kept[r][c]);
}

TEST_F(PlayerView, TheViewIsTheDriversLookAtToTheLastBit) {
    const struct {
        Vec3f eye, centre, up;
    } cases[] = {
        {{0, 0, 10}, {0, 0, 0}, {0, 1, 0}},
        {{3.7f, 1.25f, -8.1f}, {0.3f, 0.9f, 1.7f}, {0, 1, 0}},
        {{-12.345f, 6.789f, 0.001f}, {44.4f, -0.5f, 13.13f}, {0, 1, 0}},
        {{1e-3f, 2e3f, 5.5f}, {1e-3f, 0, 5.5f}, {0, 1, 0}},  // straight down: no side
        {{2, 2, 2}, {2, 2, 2}, {0, 1, 0}},                 // eye on its centre
        {{0.1f, 0.2f, 0.3f}, {-7, 8, -9}, {0.3f, 0.8f, 0.1f}},
    };
    for (const auto& c : cases) {
        glLoadIdentity();
        gluLookAt(c.eye[0], c.eye[1], c.eye[2], c.centre[0], c.centre[1], c.centre[2], c.up[0], c.up[1], c.up[2]);
        float driver[16], ours[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, driver);
        lookAt(c.eye, c.centre, c.up).toFloats(ours);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(ours[i], driver[i]) << "element " << i << " of the look-at from " << c.eye[0] << "," << c.eye[1]
                                          << "," << c.eye[2];
    }
    glLoadIdentity();
}

TEST_F(PlayerView, StartUpSwitchesOnExactlyTheLightsTheScenesTook) {
    struct Case {
        const char* film;
        unsigned lightsOn;  // GL_LIGHT0 up to this one, exclusive
    };
    const Case cases[] = {{"movie/basic.xmo", 1}, {"movie/nine_scenes.xmo", 8}};
    for (const Case& c : cases) {
        for (unsigned i = 0; i < 8; ++i) glDisable(kGlLight0 + i);
        std::ostringstream sink;
        Player player([] { return 0u; }, sink, sink);
        player.sound.keepSilent();
        PlayerMediaLoader media(sink);
        ASSERT_TRUE(startPlayer(player, c.film, media)) << c.film;
        for (unsigned i = 0; i < 8; ++i) EXPECT_EQ(glIsEnabled(kGlLight0 + i), i < c.lightsOn) << c.film << " light " << i;
    }
}

}  // namespace
}  // namespace xmo
