#include "effects/particles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

namespace xmo {
namespace {

std::unique_ptr<Particle> particle(const char* type, float fadetime, Vec3f position = {}) {
    auto p = std::make_unique<Particle>();
    p->type = type;
    p->particleType = particleTypeOf(type);
    p->fadetime = fadetime;
    p->position = position;
    return p;
}

// The z of each particle a drawn frame shows after the frame's advance at t,
// in draw order, and the list after it.
std::vector<float> pass(ParticleList& list, float t, ParticleList* spentList = nullptr) {
    ParticleList scratch;
    advanceParticles(list, spentList ? *spentList : scratch, t, Vec3f{0, 0, 0}, Vec3f{0, 0, -1});
    std::vector<float> drawn;
    for (const auto& p : list)
        if (shadeParticle(*p, t).visible) drawn.push_back(p->position[2]);
    return drawn;
}

TEST(ParticleShade, AgesFromTheFirstFramePassingOverItAndFadesOverItsFadetime) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char* type;
        float fadetime;
        float t;  // after a first frame at local time 10
        bool visible;
        float level;
        bool expired;
    } cases[] = {
        {"fade", 4.0f, 10.0f, true, 1.0f, false},  // born now, whenever it was made
        {"fade", 4.0f, 12.0f, true, 0.5f, false},
        {"fade", 4.0f, 14.0f, true, 0.0f, false},
        {"fade", 4.0f, 14.5f, true, -0.125f, true},  // past its time: level below 0, the alpha test drops it
        {"smoke", 4.0f, 12.0f, false, 0.5f, false},  // other types age unseen
        {"smoke", 4.0f, 14.5f, false, -0.125f, true},
        {"fade", 0.0f, 10.0f, false, 0.0f, true},  // no usable fadetime: expired at once
        {"fade", -1.0f, 10.0f, false, 0.0f, true},
        {"fade", nan, 10.0f, false, 0.0f, true},
    };
    for (const auto& c : cases) {
        ParticleList list, spent;
        list.push_back(particle(c.type, c.fadetime));
        const Particle* p = list.front().get();
        advanceParticles(list, spent, 10.0f, Vec3f{}, Vec3f{0, 0, -1});
        EXPECT_EQ(p->birthTime, 10.0f);
        const ParticleShade shade = shadeParticle(*p, c.t);
        EXPECT_EQ(shade.visible, c.visible) << c.type << " " << c.fadetime << " at " << c.t;
        if (c.visible || c.fadetime > 0) {
            EXPECT_FLOAT_EQ(shade.level, c.level) << c.type << " " << c.fadetime << " at " << c.t;
        }
        EXPECT_EQ(shade.expired, c.expired) << c.type << " " << c.fadetime << " at " << c.t;
    }
}

TEST(ParticlePass, DrawsFarthestFirstAndRemovesOneExpiredPerFrameNearestFirst) {
    ParticleList list;
    list.push_back(particle("fade", 1.0f, {0, 0, -2}));
    list.push_back(particle("fade", 1.0f, {0, 0, -9}));
    list.push_back(particle("fade", 5.0f, {0, 0, -5}));
    list.push_back(particle("other", 1.0f, {0, 0, -7}));
    EXPECT_EQ(pass(list, 0.0f), (std::vector<float>{-9, -5, -2}));
    // At 2.0 three have expired; the last of them in draw order leaves
    // before the frame is drawn.
    EXPECT_EQ(pass(list, 2.0f), (std::vector<float>{-9, -5}));
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list.back()->position[2], -5.0f);
    pass(list, 2.1f);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->position[2], -9.0f);
    pass(list, 2.2f);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->position[2], -5.0f);
    pass(list, 2.3f);
    EXPECT_EQ(list.size(), 1u);

    ParticleList empty;
    EXPECT_TRUE(pass(empty, 1.0f).empty());
    EXPECT_TRUE(empty.empty());
}

TEST(ParticlePass, OneSpawnPerFrameWithFadetimeFourSettlesAtThirtyThree) {
    // Frames every 0.125 s: a particle born in frame k has expired from frame
    // k + 33 on (k/8 + 4 < n/8), and one expired particle leaves per frame,
    // to be reused by the next one spawned.
    ParticleList list, spent;
    std::size_t largest = 0;
    std::set<const Particle*> made;
    for (int frame = 1; frame <= 2000; ++frame) {
        Particle& p = addParticle(list, spent);
        EXPECT_EQ(p.birthTime, -1.0f) << "a reused particle starts afresh";
        p.type = "fade";
        p.particleType = ParticleType::Fade;
        p.fadetime = 4.0f;
        p.velocity = {0, 0, -1};
        made.insert(&p);
        largest = std::max(largest, list.size());
        updateParticles(list, 0.0625f);
        pass(list, frame * 0.125f, &spent);
        if (frame >= 33) {
            ASSERT_EQ(list.size(), 33u) << "after frame " << frame;
        }
    }
    EXPECT_EQ(largest, 34u);
    EXPECT_EQ(made.size(), 34u) << "no particle made once the number settled";
    // Each moved away from the eye by 1/16 a frame: the oldest is farthest.
    EXPECT_EQ(list.front()->position[2], -33 * 0.0625f);
    EXPECT_EQ(list.back()->position[2], -0.0625f);
}

TEST(ParticlePass, DegenerateViewsAndPositionsStillSort) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ParticleList list;
    for (int i = 0; i < 64; ++i) list.push_back(particle("fade", 1.0f, {float(i % 7), i % 3 ? nan : 1.0f, 0}));
    ParticleList spent;
    // The eye on its look-at point gives no viewing direction at all.
    advanceParticles(list, spent, 0.0f, Vec3f{1, 1, 1}, Vec3f{1, 1, 1});
    EXPECT_EQ(list.size(), 64u);
    pass(list, 0.5f);
    EXPECT_EQ(list.size(), 64u);
}

TEST(ParticleImage, FallsOffLinearlyFromTheCentre) {
    const std::vector<std::uint8_t> image = buildParticleImage();
    ASSERT_EQ(image.size(), 64u * 64u * 4u);
    const struct {
        int row, column, value;
    } cases[] = {
        {32, 32, 255}, {32, 33, 247}, {32, 48, 127}, {48, 32, 127}, {32, 0, 0}, {0, 32, 0}, {0, 0, 0}, {63, 63, 0},
        {40, 38, 175},  // d = 10: 255 - 79.69, truncated
    };
    for (const auto& c : cases)
        for (int channel = 0; channel < 4; ++channel)
            EXPECT_EQ(image[(c.row * 64 + c.column) * 4 + channel], c.value)
                << "row " << c.row << " column " << c.column << " channel " << channel;
}

}  // namespace
}  // namespace xmo
