// Clamped uniform cubic B-splines, evaluated by repeated knot insertion.
//
// A curve is built once (per camera element or animation) and evaluated every
// frame; evaluation works on copies of the points and knots held in a scratch
// object the caller keeps, so it allocates nothing in steady state.
#pragma once

#include <vector>

#include "math/vec.h"

namespace xmo {

struct BSplineCurve {
    std::vector<Vec3f> points;
    std::vector<float> knots;  // degree = knots - points - 1
};

struct BSplineScratch {
    std::vector<Vec3f> points, nextPoints;
    std::vector<float> knots;
};

// n >= 4 points: knots 0 0 0 0, 1 .. n-4, then four times n-3.
void buildUniformBSpline(const std::vector<Vec3f>& points, BSplineCurve& curve);

// u in [0, 1] over the whole knot range.
Vec3f evaluateBSpline(const BSplineCurve& curve, float u, BSplineScratch& scratch);

// t on the knot scale, within [knots[degree], last knot]; a t outside that
// range is clamped to it.
Vec3f evaluateBSplineAtKnot(const BSplineCurve& curve, float t, BSplineScratch& scratch);

// The same on a curve held as separate point and knot lists (an animation's
// cache).
Vec3f evaluateBSpline(const std::vector<Vec3f>& points, const std::vector<float>& knots, float u,
                      BSplineScratch& scratch);
Vec3f evaluateBSplineAtKnot(const std::vector<Vec3f>& points, const std::vector<float>& knots, float t,
                            BSplineScratch& scratch);

}  // namespace xmo
