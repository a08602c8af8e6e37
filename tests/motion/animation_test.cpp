#include "motion/animation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "movie/movie.h"
#include "support/near.h"
#include "support/recording_physics.h"

namespace xmo {
namespace {

constexpr float kTolerance = 1e-5f;

const Vec3f kUntouched{7, 7, 7};

struct Keys {
    std::vector<std::pair<float, Vec3f>> positions;
    std::vector<std::pair<float, Quatf>> rotations;
    const char* easing = "";  // given to every key; only an upper key's counts
};

// One model and the animations that drive it; the console collects messages.
struct Fixture {
    Model model;
    std::vector<std::unique_ptr<Animation>> animations;
    BSplineScratch scratch;
    std::ostringstream console;

    Animation& animate(const Keys& keys, const char* mode = "", bool loop = false) {
        auto animation = std::make_unique<Animation>();
        animation->model = &model;
        animation->interpolationfunction = mode;
        animation->mode = animationModeOf(mode);
        animation->loop = loop;
        for (const auto& [time, position] : keys.positions) {
            auto key = std::make_unique<KeyFramePosition>();
            key->keytime = time;
            key->position = position;
            key->interpolationfunction = keys.easing;
            key->easing = easingOf(keys.easing);
            animation->positionKeys.push_back(std::move(key));
        }
        for (const auto& [time, rotation] : keys.rotations) {
            auto key = std::make_unique<KeyFrameRotation>();
            key->keytime = time;
            key->rotation = rotation;
            key->interpolationfunction = keys.easing;
            key->easing = easingOf(keys.easing);
            animation->rotationKeys.push_back(std::move(key));
        }
        animations.push_back(std::move(animation));
        return *animations.back();
    }

    Vec3f positionAt(float t) {
        model.position = kUntouched;
        applyAnimations(animations, t, scratch, console);
        return model.position;
    }
};

const Keys kTwoKeys{{{0.0f, Vec3f{0, 0, 0}}, {2.0f, Vec3f{2, 0, 0}}}, {}};

TEST(Animation, PositionBetweenTwoKeys) {
    const struct {
        const char* easing;
        float t;
        Vec3f expected;
    } cases[] = {
        {"", 0.5f, {0.5f, 0, 0}},
        {"hermite", 0.5f, {0.3125f, 0, 0}},
        {"", 0.0f, {0, 0, 0}},  // a key at t is the lower key
        {"", 1.5f, {1.5f, 0, 0}},
        // Before the first key and at or after the last the position is left alone.
        {"", -0.5f, kUntouched},
        {"", 2.0f, kUntouched},
        {"", 5.0f, kUntouched},
    };
    for (const auto& c : cases) {
        Fixture f;
        Keys keys = kTwoKeys;
        keys.easing = c.easing;
        f.animate(keys);
        EXPECT_ALL_NEAR(f.positionAt(c.t), c.expected, kTolerance);
    }
}

TEST(Animation, KeysInFileOrderAndEqualTimes) {
    Fixture f;
    // Unsorted keys: the pair is the nearest key at or below and the earliest above.
    f.animate({{{4.0f, Vec3f{4, 0, 0}}, {0.0f, Vec3f{0, 0, 0}}, {2.0f, Vec3f{2, 0, 0}}, {2.0f, Vec3f{20, 0, 0}}},
               {}});
    EXPECT_ALL_NEAR(f.positionAt(1.0f), (Vec3f{10, 0, 0}), kTolerance);  // later key of time 2 wins as upper
    EXPECT_ALL_NEAR(f.positionAt(3.0f), (Vec3f{12, 0, 0}), kTolerance);  // and as lower
}

TEST(Animation, RotationOnlyStrictlyBetweenKeys) {
    const Quatf quarterTurn = Quatf::fromAxisAngle({0, 0, 1}, 90);
    const Quatf marker{1, 0, 0, 0};
    for (float t : {0.0f, 1.0f, 2.0f}) {
        Fixture f;
        f.animate({{}, {{0.0f, Quatf()}, {2.0f, quarterTurn}}});
        f.model.rotation = marker;
        f.positionAt(t);
        if (t == 1.0f) {
            EXPECT_NEAR(f.model.rotation.v[2], 0.3826834f, 1e-6f);
            EXPECT_NEAR(f.model.rotation.w, 0.9238795f, 1e-6f);
        } else {
            EXPECT_EQ(f.model.rotation, marker) << t;
        }
    }
}

TEST(Animation, LoopReplaysTheKeySpan) {
    const struct {
        Keys keys;
        float t;
        Vec3f expected;
    } cases[] = {
        {{{{1.0f, Vec3f{0, 0, 0}}, {3.0f, Vec3f{2, 0, 0}}}, {}}, 5.5f, {0.5f, 0, 0}},  // ta = 1.5
        {{{{1.0f, Vec3f{0, 0, 0}}, {3.0f, Vec3f{2, 0, 0}}}, {}}, 3.0f, kUntouched},    // ta = 3, not wrapped
        {{{{1.0f, Vec3f{0, 0, 0}}, {3.0f, Vec3f{2, 0, 0}}}, {}}, 2.0f, {1, 0, 0}},
        // The rotation keys set the period for the positions too: t 5 is ta 1.
        {{{{0.0f, Vec3f{0, 0, 0}}, {10.0f, Vec3f{10, 0, 0}}}, {{0.0f, Quatf()}, {4.0f, Quatf()}}}, 5.0f, {1, 0, 0}},
        {{{{0.0f, Vec3f{0, 0, 0}}, {10.0f, Vec3f{10, 0, 0}}}, {{0.0f, Quatf()}, {4.0f, Quatf()}}}, 9.0f, {1, 0, 0}},
        // A single key spans no time: nothing to replay, and no division by zero.
        {{{{1.0f, Vec3f{5, 0, 0}}}, {}}, 4.0f, kUntouched},
    };
    for (const auto& c : cases) {
        Fixture f;
        f.animate(c.keys, "", true);
        SCOPED_TRACE(c.t);
        EXPECT_ALL_NEAR(f.positionAt(c.t), c.expected, kTolerance);
    }
}

TEST(Animation, MissingModelIsReportedEveryFrameInKeyPairMode) {
    Fixture f;
    f.animate(kTwoKeys).model = nullptr;
    f.animations.back()->modelid = 42;
    f.positionAt(0.5f);
    f.positionAt(0.6f);
    EXPECT_EQ(f.console.str(), "Error42 modellen eksistere ikke\nError42 modellen eksistere ikke\n");

    Fixture spline;
    spline.animate({{{0, Vec3f{}}, {1, Vec3f{}}, {2, Vec3f{}}, {3, Vec3f{}}}, {}}, "bspline").model = nullptr;
    spline.positionAt(1.5f);
    EXPECT_EQ(spline.console.str(), "");
}

TEST(Animation, SplineSpreadsTheKeysEvenly) {
    const Vec3f p0{0, 0, 0}, p1{1, 4, 0}, p2{3, 4, 2}, p3{8, 0, 1};
    const Vec3f middle = (p0 + 3.0f * p1 + 3.0f * p2 + p3) / 8.0f;
    for (float inner : {1.0f, 4.0f}) {
        Fixture f;
        f.animate({{{0.0f, p0}, {inner, p1}, {10.0f - inner, p2}, {10.0f, p3}}, {}}, "bspline");
        EXPECT_ALL_NEAR(f.positionAt(5.0f), middle, kTolerance);
        EXPECT_EQ(f.positionAt(0.0f), kUntouched);
        EXPECT_EQ(f.positionAt(10.0f), kUntouched);
    }
}

TEST(Animation, SplineTakesAnUnsetKeyFromTheModelOnce) {
    const Vec3f p1{1, 4, 0}, p2{3, 4, 2}, p3{8, 0, 1}, start{2, 2, 2};
    Fixture f;
    f.animate({{{0.0f, kUnsetVector}, {1.0f, p1}, {2.0f, p2}, {3.0f, p3}}, {}}, "bspline");
    f.model.position = start;
    applyAnimations(f.animations, 1.5f, f.scratch, f.console);
    const Vec3f expected = (start + 3.0f * p1 + 3.0f * p2 + p3) / 8.0f;
    EXPECT_ALL_NEAR(f.model.position, expected, kTolerance);
    // The model has moved since, but the path keeps its first start.
    EXPECT_ALL_NEAR(f.positionAt(1.5f), expected, kTolerance);
}

TEST(Animation, SplineNeedsFourKeys) {
    Fixture f;
    f.animate({{{0.0f, Vec3f{0, 0, 0}}, {1.0f, Vec3f{1, 0, 0}}, {2.0f, Vec3f{2, 0, 0}}}, {}}, "bspline");
    for (float t : {0.5f, 1.0f, 1.5f}) EXPECT_EQ(f.positionAt(t), kUntouched) << t;
}

struct ForceFixture : Fixture {
    test::RecordingPhysics physics;

    ForceFixture() {
        model.physicalbased = true;
        model.physics = &physics;
        model.bodyIndex = 3;
        animate({});
    }

    KeyFrameForce& addForce(float time) {
        auto key = std::make_unique<KeyFrameForce>();
        key->keytime = time;
        animations.back()->forceKeys.push_back(std::move(key));
        return *animations.back()->forceKeys.back();
    }
};

TEST(Animation, ForceKeyAppliedOnceInItsOrder) {
    ForceFixture f;
    KeyFrameForce& early = f.addForce(1.0f);
    early.linearvelocity = {9, 9, 9};
    KeyFrameForce& late = f.addForce(2.0f);
    late.linearvelocity = {1, 0, 0};
    late.position = {0, 5, 0};
    late.rotation = Quatf{0, 0.6f, 0, 0.8f};
    late.angularvelocity = {0, 0, 2};

    f.positionAt(0.9f);
    EXPECT_TRUE(f.physics.calls.empty());
    f.positionAt(2.1f);  // jumps over the key at 1
    f.positionAt(2.5f);
    const std::vector<std::string> expected = {"linearVelocity 3 1 0 0", "position 3 0 5 0",
                                               "orientation 3 0 0.6 0 0.8", "angularVelocity 3 0 0 2"};
    EXPECT_EQ(f.physics.calls, expected);
    EXPECT_FALSE(early.activated);
    EXPECT_TRUE(late.activated);
}

TEST(Animation, ForceKeyWithoutValuesSetsOnlyTheIdentityOrientation) {
    ForceFixture f;
    KeyFrameForce& key = f.addForce(0.0f);
    f.positionAt(0.0f);
    EXPECT_EQ(f.physics.calls, std::vector<std::string>{"orientation 3 0 0 0 1"});
    EXPECT_TRUE(key.activated);

    // A rotation without a real w leaves the orientation alone.
    ForceFixture g;
    g.addForce(0.0f).rotation = Quatf{1, 0, 0, 0};
    g.positionAt(1.0f);
    EXPECT_TRUE(g.physics.calls.empty());
}

TEST(Animation, ForceKeysNeedAPhysicalModel) {
    ForceFixture notPhysical;
    notPhysical.model.physicalbased = false;
    KeyFrameForce& ignored = notPhysical.addForce(0.0f);
    notPhysical.positionAt(1.0f);
    EXPECT_TRUE(notPhysical.physics.calls.empty());
    EXPECT_FALSE(ignored.activated);

    // A physical model without a body takes the key but has nothing to move.
    ForceFixture noBody;
    noBody.model.bodyIndex = -1;
    KeyFrameForce& taken = noBody.addForce(0.0f);
    noBody.positionAt(1.0f);
    EXPECT_TRUE(noBody.physics.calls.empty());
    EXPECT_TRUE(taken.activated);
}

TEST(Animation, TransformsMoveButTakeNoForces) {
    ModelTransform transform;
    std::vector<std::unique_ptr<Animation>> animations;
    auto animation = std::make_unique<Animation>();
    animation->model = &transform;
    for (float time : {0.0f, 2.0f}) {
        auto key = std::make_unique<KeyFramePosition>();
        key->keytime = time;
        key->position = Vec3f{time, 0, 0};
        animation->positionKeys.push_back(std::move(key));
    }
    animation->forceKeys.push_back(std::make_unique<KeyFrameForce>());
    animations.push_back(std::move(animation));
    BSplineScratch scratch;
    std::ostringstream console;
    applyAnimations(animations, 1.0f, scratch, console);
    EXPECT_ALL_NEAR(transform.position, (Vec3f{1, 0, 0}), kTolerance);
    EXPECT_FALSE(animations[0]->forceKeys[0]->activated);
}

}  // namespace
}  // namespace xmo
