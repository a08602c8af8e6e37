// Placeholder definitions until the motion subsystem lands.
#include "motion/animation.h"
#include "motion/camera.h"
#include "motion/interpolation.h"

namespace xmo {

float hermiteEase(float u) { return u; }
Vec3f lerp(const Vec3f& a, const Vec3f&, float) { return a; }
Quatf slerp(const Quatf& q0, const Quatf&, float) { return q0; }
void buildUniformBSpline(const std::vector<Vec3f>&, BSplineCurve&) {}
Vec3f evaluateBSpline(const BSplineCurve&, float, BSplineScratch&) { return {}; }
Vec3f evaluateBSplineAtKnot(const BSplineCurve&, float, BSplineScratch&) { return {}; }
bool evaluateCamera(const Camera&, float, CameraCache&, Vec3f&, Vec3f&, Vec3f&) { return false; }
void applyAnimations(const std::vector<std::unique_ptr<Animation>>&, float, BSplineScratch&, std::ostream&) {}

}  // namespace xmo
