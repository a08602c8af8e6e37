// Screen fades drawn over a plain picture in the player's own GL context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "app/gl_setup.h"
#include "effects/fades.h"
#include "movie/movie.h"
#include "support/gl_window.h"

namespace xmo {
namespace {

class Fades : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        if (!test::ensureGlWindow(&error)) GTEST_SKIP() << "no GL window: " << error;
        initGL(kScreenWidth, kScreenHeight);
    }
    void TearDown() override { glClearColor(0.0f, 0.0f, 0.0f, 0.0f); }

    void paint(float grey) {
        glClearColor(grey, grey, grey, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    void addFade(const char* type, float start, float end) {
        auto fade = std::make_unique<SpecialEffect>();
        fade->type = type;
        fade->fadeType = fadeTypeOf(type);
        fade->starttime = start;
        fade->endtime = end;
        fades_.push_back(std::move(fade));
    }

    // The quad covers the whole viewport: corners and centre agree.
    void expectGreyEverywhere(int expected, const char* name) {
        const int points[][2] = {{0, 0}, {kScreenWidth - 1, 0}, {400, 300}, {0, kScreenHeight - 1},
                                 {kScreenWidth - 1, kScreenHeight - 1}};
        bool ok = true;
        for (const auto& p : points) {
            const test::Rgba c = test::pixelAt(p[0], p[1]);
            for (int channel : {c.r, c.g, c.b}) {
                EXPECT_NEAR(channel, expected, 2) << "at " << p[0] << "," << p[1];
                ok = ok && std::abs(channel - expected) <= 2;
            }
        }
        if (!ok) ADD_FAILURE() << "frame saved to " << test::saveFrameForInspection(name);
    }

    std::vector<std::unique_ptr<SpecialEffect>> fades_;
};

TEST_F(Fades, BlackFadeOutHalvesTheBrightnessHalfway) {
    addFade("blackfadeout", 2.0f, 4.0f);
    paint(1.0f);
    drawFades(fades_, 3.0f);
    expectGreyEverywhere(128, "blackfadeout-half");
    // At its end and after it, the picture is back.
    for (float t : {4.0f, 5.0f}) {
        paint(1.0f);
        drawFades(fades_, t);
        expectGreyEverywhere(255, "blackfadeout-over");
    }
}

TEST_F(Fades, WhiteFadeInAtAQuarterIsThreeQuartersWhite) {
    addFade("whitefadein", 0.0f, 1.0f);
    paint(0.0f);
    drawFades(fades_, 0.25f);
    expectGreyEverywhere(191, "whitefadein-quarter");
}

TEST_F(Fades, OverlappingStayBlacksAreOneBlack) {
    addFade("stayblack", 0.0f, 3.0f);
    addFade("stayblack", 1.0f, 4.0f);
    addFade("nosuchfade", 0.0f, 4.0f);
    paint(0.6f);
    drawFades(fades_, 2.0f);
    expectGreyEverywhere(0, "stayblack-twice");
}

TEST_F(Fades, LeaveTheStateAsTheyFoundIt) {
    addFade("whitefadeout", 0.0f, 2.0f);
    float projectionBefore[16], projectionAfter[16];
    while (glGetError() != GL_NO_ERROR) {
    }
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    paint(0.0f);
    drawFades(fades_, 1.0f);
    glGetFloatv(GL_PROJECTION_MATRIX, projectionAfter);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(projectionAfter[i], projectionBefore[i]) << i;
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace xmo
