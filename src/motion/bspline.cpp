#include "motion/bspline.h"

#include <cstddef>
#include <utility>

#include "base/check.h"

namespace xmo {

namespace {

int degreeOf(const std::vector<Vec3f>& points, const std::vector<float>& knots) {
    const int degree = static_cast<int>(knots.size()) - static_cast<int>(points.size()) - 1;
    XMO_CHECK(!points.empty() && degree >= 0, "bspline");
    return degree;
}

// The first knot index from degree + 1 on whose knot is at least t. t never
// exceeds the last knot, so the scan stops inside the list.
std::size_t findSpan(const std::vector<float>& knots, int degree, float t) {
    std::size_t k = static_cast<std::size_t>(degree) + 1;
    while (k + 1 < knots.size() && knots[k] < t) ++k;
    return k;
}

// One Boehm insertion of t into scratch.knots, with the new control points
// built in scratch.nextPoints and then swapped in.
void insertKnot(float t, int degree, BSplineScratch& s) {
    const std::vector<float>& u = s.knots;
    const std::vector<Vec3f>& p = s.points;
    const std::size_t i = findSpan(u, degree, t);
    const std::size_t m = p.size();
    s.nextPoints.resize(m + 1);
    for (std::size_t j = 0; j <= m; ++j) {
        if (j + degree + 1 <= i) {
            s.nextPoints[j] = p[j];
        } else if (j >= i) {
            s.nextPoints[j] = p[j - 1];
        } else {
            const float span = u[j + degree] - u[j];
            // A zero span only occurs for points below the result's index
            // (t at the first knot): they never reach the result, so they are
            // copied instead of being blended with a 0/0 ratio.
            if (span == 0.0f) {
                s.nextPoints[j] = p[j - 1];
                continue;
            }
            const float a = (t - u[j]) / span;
            s.nextPoints[j] = p[j - 1] * (1.0f - a) + p[j] * a;
        }
    }
    std::swap(s.points, s.nextPoints);
    s.knots.insert(s.knots.begin() + static_cast<std::ptrdiff_t>(i), t);
}

}  // namespace

void buildUniformBSpline(const std::vector<Vec3f>& points, BSplineCurve& curve) {
    const int n = static_cast<int>(points.size());
    XMO_CHECK(n >= 4, "bspline");
    curve.points = points;
    curve.knots.clear();
    curve.knots.reserve(static_cast<std::size_t>(n) + 4);
    for (int i = 0; i < 4; ++i) curve.knots.push_back(0.0f);
    for (int i = 1; i <= n - 4; ++i) curve.knots.push_back(static_cast<float>(i));
    for (int i = 0; i < 4; ++i) curve.knots.push_back(static_cast<float>(n - 3));
}

Vec3f evaluateBSplineAtKnot(const std::vector<Vec3f>& points, const std::vector<float>& knots, float t,
                            BSplineScratch& scratch) {
    const int degree = degreeOf(points, knots);
    const float lo = knots[static_cast<std::size_t>(degree)];
    const float hi = knots.back();
    if (!(t > lo)) t = lo;  // also catches NaN
    if (t > hi) t = hi;

    scratch.points.reserve(points.size() + static_cast<std::size_t>(degree));
    scratch.nextPoints.reserve(points.size() + static_cast<std::size_t>(degree));
    scratch.knots.reserve(knots.size() + static_cast<std::size_t>(degree));
    scratch.points.assign(points.begin(), points.end());
    scratch.knots.assign(knots.begin(), knots.end());

    const std::size_t k = findSpan(knots, degree, t);
    for (int r = 0; r < degree; ++r) insertKnot(t, degree, scratch);
    return scratch.points[k - 1];
}

Vec3f evaluateBSpline(const std::vector<Vec3f>& points, const std::vector<float>& knots, float u,
                      BSplineScratch& scratch) {
    const int degree = degreeOf(points, knots);
    const float lo = knots[static_cast<std::size_t>(degree)];
    const float hi = knots[points.size()];
    return evaluateBSplineAtKnot(points, knots, (hi - lo) * u, scratch);
}

Vec3f evaluateBSpline(const BSplineCurve& curve, float u, BSplineScratch& scratch) {
    return evaluateBSpline(curve.points, curve.knots, u, scratch);
}

Vec3f evaluateBSplineAtKnot(const BSplineCurve& curve, float t, BSplineScratch& scratch) {
    return evaluateBSplineAtKnot(curve.points, curve.knots, t, scratch);
}

}  // namespace xmo
