#include "terrain/sky_window.h"

#include <gtest/gtest.h>

#include <cmath>

namespace xmo {
namespace {

constexpr float kFovX = 1.3962634f;  // 80 degrees
constexpr float kFovY = 1.0471976f;  // 60 degrees

TEST(SkyWindow, HeadingScrollsAcrossAndHalfThePitchScrollsDown) {
    struct Case {
        const char* name;
        Vec3f eye, lookAt;
        float uStart, vStart;
    };
    const Case cases[] = {
        {"along -z", {0, 0, 0}, {0, 0, -1}, 0.0f, 0.0f},
        {"along +z", {0, 0, 0}, {0, 0, 1}, -0.5f, 0.0f},
        {"along +x", {1, 2, 3}, {6, 2, 3}, -0.25f, 0.0f},
        {"along -x", {0, 0, 0}, {-3, 0, 0}, 0.25f, 0.0f},
        {"45 degrees up along -z", {0, 0, 0}, {0, 1, -1}, 0.0f, -0.0625f},
        {"straight up has no heading", {0, 0, 0}, {0, 4, 0}, 0.0f, -0.125f},
        {"eye on the look-at point", {2, 2, 2}, {2, 2, 2}, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const SkyWindow w = computeSkyWindow(c.eye, c.lookAt, kFovX, kFovY);
        EXPECT_NEAR(w.uStart, c.uStart, 1e-6f) << c.name;
        EXPECT_NEAR(w.vStart, c.vStart, 1e-6f) << c.name;
        EXPECT_NEAR(w.uSpan, 80.0f / 360.0f, 1e-6f) << c.name;
        EXPECT_NEAR(w.vSpan, 60.0f / 360.0f, 1e-6f) << c.name;
    }
}

TEST(SkyWindow, ALevelViewSpansAQuarterDownToAQuarterPlusTheVerticalSpan) {
    const SkyWindow w = computeSkyWindow(Vec3f{0, 1, 5}, Vec3f{0, 1, 0}, kFovX, kFovY);
    const SkyCorners corners = buildSkyCorners(w);
    const float bottom = 0.25f + w.vSpan;
    // Bottom left, bottom right, top right, top left; u falls to the right.
    const Vec2f uv[4] = {{w.uSpan, bottom}, {0.0f, bottom}, {0.0f, 0.25f}, {w.uSpan, 0.25f}};
    const Vec3f xy[4] = {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(corners.texCoord[i].e[0], uv[i].e[0], 1e-6f) << i;
        EXPECT_NEAR(corners.texCoord[i].e[1], uv[i].e[1], 1e-6f) << i;
        EXPECT_EQ(corners.vertex[i], xy[i]) << i;
    }
}

}  // namespace
}  // namespace xmo
