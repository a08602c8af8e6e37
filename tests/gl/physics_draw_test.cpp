// Physical models in the player: carried by their animation while
// animatephysics is set, simulated from that pose once it is cleared, and
// moved the same whether or not the frames are drawn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

#include "app/player.h"
#include "app/render_options.h"
#include "app/tool_media_loader.h"
#include "scene/brick_geometry.h"
#include "support/gl_window.h"

namespace xmo {
namespace {

constexpr int kFps = 25;
constexpr long kFrames = 250;  // 10 s

struct BodyFrame {
    float matrix[16];
    Vec3f position;  // the model's, as drawing left it
    Vec3f centreOffset;

    bool operator==(const BodyFrame& o) const {
        return std::memcmp(matrix, o.matrix, sizeof matrix) == 0 && position == o.position &&
               centreOffset == o.centreOffset;
    }
};

// The brick of app/animate_physics.xmo after each frame, drawn or only
// advanced.
std::vector<BodyFrame> play(bool drawn) {
    long frame = 0;
    std::ostringstream console;
    Player player([&frame] { return frameTicks(frame, kFps); }, console, console);
    ToolMediaLoader media;
    EXPECT_TRUE(startPlayer(player, "app/animate_physics.xmo", media));
    const auto& model = static_cast<const Model&>(*player.currentMovie->models.at(0));
    std::vector<BodyFrame> out;
    for (; frame < kFrames; ++frame) {
        advanceFrame(player);
        if (drawn) drawFrame(player);
        BodyFrame f;
        player.physics->bodyMatrix(model.bodyIndex, f.matrix);
        f.position = model.position;
        f.centreOffset = model.centreOffset;
        out.push_back(f);
    }
    stopPlayer(player);
    return out;
}

TEST(PhysicsDraw, TheBodyFollowsTheAnimationThenFallsFromWhereItWasLeft) {
    std::string error;
    if (!test::ensureGlWindow(&error)) GTEST_SKIP() << "no GL window: " << error;
    const std::vector<BodyFrame> once = play(true);
    ASSERT_EQ(once.size(), static_cast<size_t>(kFrames));

    // Frame 10, 0.4 s: 40% of the way up and 36 degrees round; the model's
    // position is the body's, and the box centre is the body's origin now.
    const BodyFrame& carried = once[10];
    EXPECT_NEAR(carried.position.e[0], 0.4f, 1e-4f);
    EXPECT_NEAR(carried.position.e[1], 1.8f, 1e-4f);
    EXPECT_EQ(carried.position, (Vec3f{carried.matrix[12], carried.matrix[13], carried.matrix[14]}));
    EXPECT_NEAR(carried.matrix[0], std::cos(36.0f * 3.14159265f / 180.0f), 1e-4f);
    EXPECT_EQ(carried.centreOffset, Vec3f{});

    // Past the last key and until "disableanimatephysics" at 1.5 s the body
    // holds the last animated pose against gravity.
    const BodyFrame& lastAnimated = once[24];
    for (long f = 25; f < 38; ++f) EXPECT_EQ(once[f].position, lastAnimated.position) << "frame " << f;

    // Handed back: it drops straight down from there, without the speed the
    // animation had, and comes to rest on the plane.
    EXPECT_LT(once[42].position.e[1], lastAnimated.position.e[1] - 0.01f);
    EXPECT_NEAR(once[42].position.e[0], lastAnimated.position.e[0], 1e-4f);
    Vec3f min, max;
    brickBounds({5, 12, 5}, min, max);
    const float rest = (max.e[1] - min.e[1]) / 2;
    EXPECT_NEAR(once[200].position.e[1], rest, 0.01f * rest);
    EXPECT_LT(length(once[kFrames - 1].position - once[200].position), 0.001f);

    // Frames that are only advanced hand over the same poses.
    EXPECT_TRUE(play(false) == once);
}

}  // namespace
}  // namespace xmo
