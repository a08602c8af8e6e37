// A film in the demo's world, rendered by xmotool render: a brick floats
// above the flat middle of the ground, its shadow falls where the light at
// (13, 10, 8) from the brick puts it, and the sky fills the picture behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

#include "math/vec.h"
#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

// The camera of tests/data/world/brick_shadow.xmo: where a world point shows
// in the player's 800 x 600 frame, 60 degrees high, +Y up.
struct Pixel {
    int x, y;
};
Pixel pixelOf(const Vec3f& p) {
    const Vec3f eye{3, 3, 7}, centre{-1, 0.8f, -0.6f};
    const Vec3f forward = normalize(centre - eye);
    const Vec3f right = normalize(cross(forward, Vec3f{0, 1, 0}));
    const Vec3f up = cross(right, forward);
    const Vec3f d = p - eye;
    const float halfHeight = std::tan(30.0f * 3.14159265f / 180.0f) * dot(d, forward);
    const float x = dot(d, right) / (halfHeight * 4.0f / 3.0f);
    const float y = dot(d, up) / halfHeight;
    return {static_cast<int>((x + 1.0f) * 400.0f), static_cast<int>((1.0f - y) * 300.0f)};
}

// Mean of red + green + blue over the 5 x 5 pixels round a point.
double brightnessAround(const test::Picture& picture, const Vec3f& p) {
    const Pixel c = pixelOf(p);
    double sum = 0.0;
    for (int y = c.y - 2; y <= c.y + 2; ++y)
        for (int x = c.x - 2; x <= c.x + 2; ++x) {
            const auto px = picture.at(x, y);
            sum += px.r + px.g + px.b;
        }
    return sum / 25.0;
}

TEST(WorldFilm, ABrickOverTheGroundCastsItsShadowAwayFromTheLightUnderTheSky) {
    const std::string out = (fs::temp_directory_path() / ("xmo-world-" + std::to_string(::getpid()))).string();
    test::ProcessOptions options;
    options.workingDir = std::string(XMO_TEST_DATA) + "/world";  // the world's images beside the film
    options.timeoutSeconds = 120;
    const test::ProcessResult r =
        test::runProcess({XMOTOOL_BIN, "render", "brick_shadow.xmo", "--fps", "10", "--at", "1", "--out", out},
                         options);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const test::Picture picture = test::readPng(out + "/frame-000010.png");
    ASSERT_EQ(picture.width, 800);
    ASSERT_EQ(picture.height, 600);

    const Pixel brick = pixelOf(Vec3f{0, 2, 0});
    const auto red = picture.at(brick.x, brick.y);
    EXPECT_GT(red.r, 200);
    EXPECT_LT(red.g + red.b, 60);

    // The brick's centre, 2 above the ground, shadows the ground point
    // 0.2 x (13, 10, 8) away from the light.
    const Vec3f shadow{-2.6f, 0.0f, -1.6f};
    const double dark = brightnessAround(picture, shadow);
    struct Lit {
        const char* name;
        Vec3f point;
    };
    const Lit lit[] = {
        {"where a light from the other side would put it", {2.6f, 0.0f, 1.6f}},
        {"beside it", {-2.6f, 0.0f, 0.4f}},
        {"further from the light", {-4.6f, 0.0f, -1.6f}},
    };
    for (const Lit& l : lit) {
        const double bright = brightnessAround(picture, l.point);
        EXPECT_LT(dark, 0.8 * bright) << "the ground " << l.name << " is lit: " << bright << " against " << dark;
    }

    const auto sky = picture.at(400, 10);
    EXPECT_GT(sky.b, 150) << "the sky backdrop, not the clear colour";
    EXPECT_GT(sky.b, sky.r + 30);
    if (!HasFailure()) fs::remove_all(out);
}

}  // namespace
}  // namespace xmo
