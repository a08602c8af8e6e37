// Comparing vectors and matrices component by component within a tolerance.
// A failure names both expressions, the first component that differs and
// both values, at the line of the check.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "math/mat4.h"
#include "math/vec.h"

namespace xmo::test {

template <int N>
std::string describe(const Vec<N>& v) {
    std::ostringstream out;
    out << "(";
    for (int i = 0; i < N; ++i) out << (i ? ", " : "") << v.e[i];
    out << ")";
    return out.str();
}

template <int N>
::testing::AssertionResult assertNear(const char* actualText, const char* expectedText, const char*,
                                      const Vec<N>& actual, const Vec<N>& expected, float tolerance) {
    for (int i = 0; i < N; ++i)
        if (!(std::fabs(actual.e[i] - expected.e[i]) <= tolerance))
            return ::testing::AssertionFailure()
                   << actualText << " is " << describe(actual) << ", " << expectedText << " is "
                   << describe(expected) << ": component " << i << " differs by more than " << tolerance;
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult assertNear(const char* actualText, const char* expectedText, const char*,
                                             const Mat4x4f& actual, const Mat4x4f& expected, float tolerance) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(std::fabs(actual[r][c] - expected[r][c]) <= tolerance))
                return ::testing::AssertionFailure()
                       << actualText << "[" << r << "][" << c << "] is " << actual[r][c] << ", " << expectedText
                       << "[" << r << "][" << c << "] is " << expected[r][c] << ": more than " << tolerance
                       << " apart";
    return ::testing::AssertionSuccess();
}

}  // namespace xmo::test

#define EXPECT_ALL_NEAR(actual, expected, tolerance) \
    EXPECT_PRED_FORMAT3(::xmo::test::assertNear, actual, expected, tolerance)
