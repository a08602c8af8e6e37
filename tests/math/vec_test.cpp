#include "math/vec.h"

#include <gtest/gtest.h>

namespace xmo {
namespace {

TEST(Vec3f, ArithmeticAndProducts) {
    const Vec3f a{1, 2, 3}, b{4, 5, 6};
    EXPECT_EQ(a + b, (Vec3f{5, 7, 9}));
    EXPECT_EQ(a - b, (Vec3f{-3, -3, -3}));
    EXPECT_EQ(2.0f * a, (Vec3f{2, 4, 6}));
    EXPECT_EQ(b / 2.0f, (Vec3f{2, 2.5f, 3}));
    EXPECT_EQ(-a, (Vec3f{-1, -2, -3}));
    EXPECT_FLOAT_EQ(dot(a, b), 32.0f);
    EXPECT_EQ(cross(Vec3f{1, 0, 0}, Vec3f{0, 1, 0}), (Vec3f{0, 0, 1}));
    EXPECT_EQ(cross(a, b), (Vec3f{-3, 6, -3}));
    EXPECT_FLOAT_EQ(length(Vec3f{3, 4, 12}), 13.0f);
    EXPECT_EQ(normalize(Vec3f{0, 0, 5}), (Vec3f{0, 0, 1}));
}

TEST(Vec3f, DefaultIsZeroAndEqualityIsExact) {
    EXPECT_EQ(Vec3f(), (Vec3f{0, 0, 0}));
    const Vec3f marker{-100, -100, -100};
    EXPECT_TRUE(marker == (Vec3f{-100, -100, -100}));
    EXPECT_FALSE(marker == (Vec3f{-100, -100, -100.00001f}));
    EXPECT_FALSE(marker == (Vec3f{-100, -100, 100}));
}

TEST(Vec4f, DotSumsAllFour) { EXPECT_FLOAT_EQ(dot(Vec4f{1, 2, 3, 4}, Vec4f{1, 1, 1, 1}), 10.0f); }

using VecDeathTest = ::testing::Test;

TEST(VecDeathTest, OutOfRangeAccessAbortsInEveryBuild) {
    Vec3f v;
    const Vec2f c;
    int i = 3;
    EXPECT_DEATH(v[i] = 1.0f, "i >= 0 && i < N.*arithvec-using-array");
    EXPECT_DEATH((void)c[i - 1], "arithvec-using-array");
    EXPECT_DEATH((void)v[-1], "arithvec-using-array");
}

}  // namespace
}  // namespace xmo
