#include "math/quat.h"

#include <gtest/gtest.h>

namespace xmo {
namespace {

struct RoundTrip {
    Vec3f axis;
    float degrees;
    Vec3f expectedAxis;
    float expectedDegrees;
};

TEST(Quatf, AxisAngleRoundTrips) {
    const RoundTrip cases[] = {
        {{0, 0, 1}, 90, {0, 0, 1}, 90},
        {{0, 1, 0}, 270, {0, 1, 0}, 270},
        {{0, 0, 2}, 90, {0, 0, 1}, 90},  // a long axis comes back unit length
        {{1, 0, 0}, 180, {1, 0, 0}, 180},
        {{1, 0, 0}, 0, {0, 1, 0}, 0},    // no rotation: axis (0, 1, 0)
    };
    for (const auto& c : cases) {
        const AxisAngle back = Quatf::fromAxisAngle(c.axis, c.degrees).toAxisAngle();
        EXPECT_NEAR(back.degrees, c.expectedDegrees, 1e-3f) << c.degrees;
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(back.axis[i], c.expectedAxis[i], 1e-5f) << c.degrees;
    }
}

TEST(Quatf, QuarterTurnAboutZ) {
    const Quatf q = Quatf::fromAxisAngle({0, 0, 1}, 90);
    EXPECT_NEAR(q.v[0], 0.0f, 1e-7f);
    EXPECT_NEAR(q.v[2], 0.7071068f, 1e-6f);
    EXPECT_NEAR(q.w, 0.7071068f, 1e-6f);
    const Vec3f p = q.rotate({1, 0, 0});
    EXPECT_NEAR(p[0], 0.0f, 1e-6f);
    EXPECT_NEAR(p[1], 1.0f, 1e-6f);
    EXPECT_NEAR(p[2], 0.0f, 1e-6f);
}

TEST(Quatf, ProductComposesAndInverseUndoes) {
    const Quatf a = Quatf::fromAxisAngle({0, 0, 1}, 30), b = Quatf::fromAxisAngle({0, 0, 1}, 60);
    const Quatf ab = a * b;
    EXPECT_NEAR(ab.toAxisAngle().degrees, 90.0f, 1e-3f);
    const Quatf one = ab * ab.inverse();
    EXPECT_NEAR(one.w, 1.0f, 1e-6f);
    EXPECT_NEAR(length(one.v), 0.0f, 1e-6f);
    EXPECT_EQ(Quatf().w, 1.0f);
    EXPECT_EQ(Quatf().v, Vec3f());
}

}  // namespace
}  // namespace xmo
