#include "motion/bspline.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/near.h"

namespace xmo {
namespace {

constexpr float kTolerance = 1e-4f;

// Points spread unevenly so that no two weights can be mixed up unnoticed.
std::vector<Vec3f> samplePoints(int n) {
    std::vector<Vec3f> points;
    for (int i = 0; i < n; ++i)
        points.push_back(Vec3f{static_cast<float>(i * i), static_cast<float>(1 << i), static_cast<float>(-3 * i)});
    return points;
}

// Cox-de Boor basis: the textbook definition, the reference for knot insertion.
float basis(const std::vector<float>& u, int i, int p, float t) {
    if (p == 0) {
        const bool lastSpan = t == u.back() && u[i] < u[i + 1] && u[i + 1] == u.back();
        return (u[i] <= t && t < u[i + 1]) || lastSpan ? 1.0f : 0.0f;
    }
    float sum = 0.0f;
    if (u[i + p] > u[i]) sum += (t - u[i]) / (u[i + p] - u[i]) * basis(u, i, p - 1, t);
    if (u[i + p + 1] > u[i + 1]) sum += (u[i + p + 1] - t) / (u[i + p + 1] - u[i + 1]) * basis(u, i + 1, p - 1, t);
    return sum;
}

Vec3f deBoorReference(const BSplineCurve& c, float t) {
    Vec3f sum;
    for (int i = 0; i < static_cast<int>(c.points.size()); ++i) sum += c.points[i] * basis(c.knots, i, 3, t);
    return sum;
}

TEST(BSpline, UniformKnots) {
    const struct {
        int points;
        std::vector<float> knots;
    } cases[] = {
        {4, {0, 0, 0, 0, 1, 1, 1, 1}},
        {5, {0, 0, 0, 0, 1, 2, 2, 2, 2}},
        {6, {0, 0, 0, 0, 1, 2, 3, 3, 3, 3}},
    };
    for (const auto& c : cases) {
        BSplineCurve curve;
        buildUniformBSpline(samplePoints(c.points), curve);
        EXPECT_EQ(curve.knots, c.knots) << c.points;
        EXPECT_EQ(curve.points, samplePoints(c.points));
    }
}

TEST(BSpline, WorkedValues) {
    BSplineScratch scratch;
    BSplineCurve four, five, six;
    buildUniformBSpline(samplePoints(4), four);
    buildUniformBSpline(samplePoints(5), five);
    buildUniformBSpline(samplePoints(6), six);
    const auto& p4 = four.points;
    const auto& p5 = five.points;
    const auto& p6 = six.points;
    // Four points: the Bezier curve of its points.
    EXPECT_ALL_NEAR(evaluateBSpline(four, 0.5f, scratch), (p4[0] + 3.0f * p4[1] + 3.0f * p4[2] + p4[3]) / 8.0f,
                    kTolerance);
    // Five points at u = 0.5 lands exactly on the inner knot t = 1.
    EXPECT_ALL_NEAR(evaluateBSpline(five, 0.5f, scratch), p5[1] / 4.0f + p5[2] / 2.0f + p5[3] / 4.0f, kTolerance);
    EXPECT_ALL_NEAR(evaluateBSplineAtKnot(six, 1.0f, scratch), p6[1] / 4.0f + 7.0f * p6[2] / 12.0f + p6[3] / 6.0f,
                    kTolerance);
}

TEST(BSpline, EndsAreExactlyTheEndPoints) {
    BSplineScratch scratch;
    for (int n : {4, 5, 6, 9}) {
        BSplineCurve curve;
        buildUniformBSpline(samplePoints(n), curve);
        const Vec3f start = evaluateBSpline(curve, 0.0f, scratch);
        const Vec3f end = evaluateBSpline(curve, 1.0f, scratch);
        EXPECT_EQ(start, curve.points.front()) << n;
        EXPECT_EQ(end, curve.points.back()) << n;
        EXPECT_EQ(evaluateBSplineAtKnot(curve, curve.knots.back(), scratch), curve.points.back()) << n;
    }
}

TEST(BSpline, KnotInsertionMatchesTheBasisDefinition) {
    BSplineScratch scratch;
    BSplineCurve curve;
    buildUniformBSpline(samplePoints(7), curve);
    for (float t = 0.0f; t <= 4.0f; t += 0.125f)
        EXPECT_ALL_NEAR(evaluateBSplineAtKnot(curve, t, scratch), deBoorReference(curve, t), 1e-3f);
}

TEST(BSpline, ScratchReuseLeavesNoTrace) {
    BSplineCurve big, small;
    buildUniformBSpline(samplePoints(8), big);
    buildUniformBSpline(samplePoints(4), small);
    const BSplineCurve before = small;
    BSplineScratch fresh, reused;
    evaluateBSpline(big, 0.7f, reused);
    const Vec3f expected = evaluateBSpline(small, 0.3f, fresh);
    EXPECT_EQ(evaluateBSpline(small, 0.3f, reused), expected);
    EXPECT_EQ(evaluateBSpline(small, 0.3f, reused), expected);
    EXPECT_EQ(small.points, before.points);
    EXPECT_EQ(small.knots, before.knots);
}

TEST(BSpline, ParameterOutsideTheKnotsIsClamped) {
    BSplineScratch scratch;
    BSplineCurve curve;
    buildUniformBSpline(samplePoints(5), curve);
    EXPECT_EQ(evaluateBSplineAtKnot(curve, -3.0f, scratch), curve.points.front());
    EXPECT_EQ(evaluateBSplineAtKnot(curve, 40.0f, scratch), curve.points.back());
    EXPECT_EQ(evaluateBSpline(curve, 1.5f, scratch), curve.points.back());
}

}  // namespace
}  // namespace xmo
