#include "motion/interpolation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace xmo {
namespace {

TEST(HermiteEase, EasesInAndOut) {
    const struct {
        float u, expected;
    } cases[] = {{0.0f, 0.0f}, {0.25f, 0.15625f}, {0.5f, 0.5f}, {0.75f, 0.84375f}, {1.0f, 1.0f}};
    for (const auto& c : cases) EXPECT_FLOAT_EQ(hermiteEase(c.u), c.expected) << c.u;
    // Zero slope at both ends: a small step moves it far less than linearly.
    EXPECT_LT(hermiteEase(0.01f), 0.001f);
    EXPECT_GT(hermiteEase(0.99f), 0.999f);
}

TEST(Lerp, BlendsFromAToB) {
    const Vec3f a{1, -2, 3}, b{5, 6, -7};
    EXPECT_EQ(lerp(a, b, 0.0f), a);
    EXPECT_EQ(lerp(a, b, 1.0f), b);
    EXPECT_EQ(lerp(a, b, 0.25f), (Vec3f{2, 0, 0.5f}));
}

TEST(Slerp, HalfwayToAQuarterTurnIsAnEighthTurn) {
    const Quatf q0{0, 0, 0, 1}, q1{0, 0, 0.7071068f, 0.7071068f};
    const Quatf q = slerp(q0, q1, 0.5f);
    EXPECT_NEAR(q.v[0], 0.0f, 1e-7f);
    EXPECT_NEAR(q.v[1], 0.0f, 1e-7f);
    EXPECT_NEAR(q.v[2], 0.3826834f, 1e-6f);
    EXPECT_NEAR(q.w, 0.9238795f, 1e-6f);
    const Quatf end = slerp(q0, q1, 1.0f);
    EXPECT_NEAR(end.v[2], q1.v[2], 1e-6f);
    EXPECT_NEAR(end.w, q1.w, 1e-6f);
}

TEST(Slerp, AnAxisLongerThanOneTurnsAtTheSamePace) {
    // Keys of 90 and 180 degrees about z, the axis written as unit or as (0, 0, 2):
    // halfway is 135 degrees either way.
    for (float axisLength : {1.0f, 2.0f}) {
        const Vec3f axis{0, 0, axisLength};
        const Quatf q = slerp(Quatf::fromAxisAngle(axis, 90.0f), Quatf::fromAxisAngle(axis, 180.0f), 0.5f);
        const AxisAngle turned = q.toAxisAngle();
        EXPECT_NEAR(turned.degrees, 135.0f, 1e-3f) << axisLength;
        EXPECT_NEAR(turned.axis[2], 1.0f, 1e-6f) << axisLength;
    }
}

TEST(Slerp, EqualOrOppositeRotationsGiveTheFirst) {
    const Quatf identity;
    // A dot product just above 1 (or below -1) would make acos NaN unclamped.
    const Quatf others[] = {identity, Quatf{0, 0, 0, 1.0000001f}, Quatf{0, 0, 0, -1}, Quatf{0, 0, 0, -1.0000001f}};
    for (const Quatf& other : others)
        for (float u : {0.0f, 0.3f, 1.0f}) EXPECT_EQ(slerp(identity, other, u), identity) << other.w << " " << u;
}

}  // namespace
}  // namespace xmo
