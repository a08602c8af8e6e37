// What the player draws of its own over the film: the key overlay, and the
// kept picture of a paused film put back into the buffer.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "app/gl_setup.h"
#include "app/held_frame.h"
#include "app/key_overlay.h"
#include "support/gl_window.h"

namespace xmo {
namespace {

class PlayerOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        if (!test::ensureGlWindow(&error)) GTEST_SKIP() << "no GL window: " << error;
        initGL(kScreenWidth, kScreenHeight);
    }
    void TearDown() override { glClearColor(0.0f, 0.0f, 0.0f, 0.0f); }
};

TEST_F(PlayerOverlay, TheKeysShowWhiteOnADarkBandAndTheFilmsStateIsBack) {
    glClearColor(0.8f, 0.8f, 0.8f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const Overlay overlay = layoutKeyOverlay(kScreenWidth, kScreenHeight);
    drawOverlay(overlay, kScreenWidth, kScreenHeight);
    const std::string frame = test::saveFrameForInspection("key-overlay");

    const PixelRect& band = overlay.front().rect;
    const PixelRect& letter = overlay.at(1).rect;
    const test::Rgba lit = test::pixelAt(letter.x, letter.y);
    EXPECT_EQ(lit.r + lit.g + lit.b, 3 * 255) << frame;
    const test::Rgba dimmed = test::pixelAt(2, kScreenHeight - 2);
    EXPECT_NEAR(dimmed.r, 0.8 * 255 * 0.3, 3) << "the picture shows dimmed through the band; " << frame;
    const test::Rgba above = test::pixelAt(2, band.y - 2);
    EXPECT_NEAR(above.r, 204, 1) << frame;

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(PlayerOverlay, AKeptPictureComesBackPixelForPixelWhateverTheFilmLeftOn) {
    // Four quadrants of different colours.
    glEnable(GL_SCISSOR_TEST);
    const float colours[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0.5f}};
    for (int q = 0; q < 4; ++q) {
        glScissor((q % 2) * 400, (q / 2) * 300, 400, 300);
        glClearColor(colours[q][0], colours[q][1], colours[q][2], 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    HeldFrame held;
    held.keep(kScreenWidth, kScreenHeight);
    const test::Rgba corners[] = {test::pixelAt(0, 0), test::pixelAt(799, 0), test::pixelAt(0, 599),
                                  test::pixelAt(799, 599), test::pixelAt(400, 300)};

    // What the film's passes may leave on: none of it may tint the copy.
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_ONE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_NEVER, 0.0f);
    held.draw();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);

    const test::Rgba again[] = {test::pixelAt(0, 0), test::pixelAt(799, 0), test::pixelAt(0, 599),
                                test::pixelAt(799, 599), test::pixelAt(400, 300)};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(again[i].r, corners[i].r) << i;
        EXPECT_EQ(again[i].g, corners[i].g) << i;
        EXPECT_EQ(again[i].b, corners[i].b) << i;
    }
    EXPECT_NE(corners[0].r + corners[0].g * 256, corners[3].r + corners[3].g * 256) << "the quadrants differ";
}

}  // namespace
}  // namespace xmo
