#include "motion/interpolation.h"

#include <algorithm>
#include <cmath>

namespace xmo {

namespace {
// The easing curve runs from value 0 with tangent 0 to value 1 with tangent 0.
constexpr float kStartValue = 0.0f;
constexpr float kStartTangent = 0.0f;
constexpr float kEndValue = 1.0f;
constexpr float kEndTangent = 0.0f;

// Below this sin(omega) the two rotations are (nearly) equal or opposite and
// the blend would divide by zero.
constexpr float kMinSinOmega = 1e-6f;

// How far from 1 a rotation's length may be before it is made a unit one.
constexpr float kUnitTolerance = 1e-3f;

// The unit quaternion of the rotation q stands for. A rotation read with an
// axis that is not of unit length has its vector part scaled by that length
// (w is the cosine of the half angle all the same): the vector part is
// brought back to the length w leaves for it. Unit rotations are returned
// as they are, bit for bit.
Quatf unitRotation(const Quatf& q) {
    const float vectorLength = length(q.v);
    const float quaternionLength = std::sqrt(vectorLength * vectorLength + q.w * q.w);
    if (std::fabs(quaternionLength - 1.0f) <= kUnitTolerance || vectorLength == 0.0f || std::fabs(q.w) > 1.0f)
        return q;
    const Vec3f v = q.v * (std::sqrt(1.0f - q.w * q.w) / vectorLength);
    return Quatf{v.e[0], v.e[1], v.e[2], q.w};
}
}  // namespace

float hermiteEase(float u) {
    const float u2 = u * u;
    const float u3 = u2 * u;
    const float h1 = 2.0f * u3 - 3.0f * u2 + 1.0f;
    const float h2 = -2.0f * u3 + 3.0f * u2;
    const float h3 = u3 - 2.0f * u2 + u;
    const float h4 = u3 - u2;
    return ((h1 * kStartValue + h3 * kStartTangent) + h2 * kEndValue) + h4 * kEndTangent;
}

Vec3f lerp(const Vec3f& a, const Vec3f& b, float u) { return a * (1.0f - u) + b * u; }

Quatf slerp(const Quatf& from, const Quatf& to, float u) {
    // With an axis longer than 1 the dot product would pass 1 and freeze the
    // blend at the first rotation; such rotations are blended as unit ones.
    const Quatf q0 = unitRotation(from);
    const Quatf q1 = unitRotation(to);
    const float cosOmega = std::clamp(dot(q0.v, q1.v) + q0.w * q1.w, -1.0f, 1.0f);
    const float omega = std::acos(cosOmega);
    const float sinOmega = std::sin(omega);
    if (std::fabs(sinOmega) < kMinSinOmega) return q0;
    return (q0 * std::sin((1.0f - u) * omega) + q1 * std::sin(u * omega)) * (1.0f / sinOmega);
}

}  // namespace xmo
