#include "math/mat4.h"

#include <gtest/gtest.h>

#include "support/near.h"

namespace xmo {
namespace {

constexpr float kTolerance = 1e-5f;

Mat4x4f fromRows(std::initializer_list<float> values) {
    float m[16];
    int i = 0;
    for (float v : values) m[i++] = v;
    return Mat4x4f(m);
}

TEST(Mat4x4f, FloatsAreReadRowByRow) {
    float m[16];
    for (int i = 0; i < 16; ++i) m[i] = float(i);
    const Mat4x4f mat(m);
    EXPECT_EQ(mat[0][1], 1.0f);
    EXPECT_EQ(mat[3][0], 12.0f);  // OpenGL's translation lands in row 3
    float back[16];
    mat.toFloats(back);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(back[i], m[i]);
    EXPECT_EQ(Mat4x4f()[2][2], 0.0f);
}

TEST(Mat4x4f, ProductsRunRowTimesColumn) {
    const Mat4x4f a = fromRows({1, 2, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 3, 4, 5, 1});
    const Mat4x4f i = Mat4x4f::identity();
    EXPECT_ALL_NEAR(a * i, a, kTolerance);
    EXPECT_ALL_NEAR(i * a, a, kTolerance);
    const Vec4f p = a * Vec4f{1, 1, 1, 1};
    EXPECT_EQ(p, (Vec4f{3, 1, 1, 13}));
}

struct InversionCase {
    const char* name;
    Mat4x4f input;
    Mat4x4f expected;
};

TEST(InvertAffine, WorkedExamples) {
    const InversionCase cases[] = {
        {"identity", Mat4x4f::identity(), Mat4x4f::identity()},
        {"translation", fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, -3, 4, 1}),
         fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -2, 3, -4, 1})},
        {"scale", fromRows({2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 0, 0, 0, 1}),
         fromRows({0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, 0, 0, 0, 1})},
        {"quarter turn about z then move", fromRows({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}),
         fromRows({0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, -2, 1, -3, 1})},
        {"tiny uniform scale is not singular", fromRows({1e-10f, 0, 0, 0, 0, 1e-10f, 0, 0, 0, 0, 1e-10f, 0, 0, 0, 0, 1}),
         fromRows({1e10f, 0, 0, 0, 0, 1e10f, 0, 0, 0, 0, 1e10f, 0, 0, 0, 0, 1})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Mat4x4f inv = invertAffine(c.input);
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 4; ++col)
                EXPECT_NEAR(inv[r][col], c.expected[r][col], 1e-5f * std::max(1.0f, std::fabs(c.expected[r][col])));
        if (std::string(c.name) != "tiny uniform scale is not singular") {
            EXPECT_ALL_NEAR(c.input * inv, Mat4x4f::identity(), kTolerance);
        }
    }
}

TEST(InvertAffine, RejectsWithTheirMessages) {
    const Mat4x4f notAffine1 = fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0.5f, 0, 0, 0, 1});
    const Mat4x4f notAffine2 = fromRows({1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0, 0, 1});
    const Mat4x4f notAffine3 = fromRows({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 2});
    const Mat4x4f twoEqualRows = fromRows({1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    for (const Mat4x4f& m : {notAffine1, notAffine2, notAffine3}) {
        try {
            invertAffine(m);
            ADD_FAILURE() << "no exception";
        } catch (const Mat4x4fNotAffine& e) {
            EXPECT_STREQ(e.what(), "Can only invert affine matrices");
        }
    }
    try {
        invertAffine(twoEqualRows);
        ADD_FAILURE() << "no exception";
    } catch (const Mat4x4fSingular& e) {
        EXPECT_STREQ(e.what(), "Tried to invert Singular matrix");
    }
    EXPECT_THROW(invertAffine(Mat4x4f()), Mat4x4fNotAffine);
    EXPECT_THROW(invertAffine(twoEqualRows), Mat4x4fException);
    EXPECT_THROW(invertAffine(twoEqualRows), MotherException);
}

}  // namespace
}  // namespace xmo
