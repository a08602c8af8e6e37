#include "math/quat.h"

#include <cmath>

namespace xmo {

namespace {
constexpr double kPi = 3.141592653589793;
}

Quatf Quatf::fromAxisAngle(const Vec3f& axis, float degrees) {
    const float half = static_cast<float>(degrees / 180.0 * kPi * 0.5);
    const float s = std::sin(half);
    return {s * axis.e[0], s * axis.e[1], s * axis.e[2], std::cos(half)};
}

AxisAngle Quatf::toAxisAngle() const {
    const float clamped = std::fmax(-1.0f, std::fmin(1.0f, w));
    const float angle = 2.0f * std::acos(clamped);
    if (angle < 1e-6f) return {Vec3f{0.0f, 1.0f, 0.0f}, angle};
    return {normalize(v), static_cast<float>(angle / kPi * 180.0)};
}

Quatf Quatf::inverse() const {
    const float norm2 = dot(v, v) + w * w;
    return conjugate() * (1.0f / norm2);
}

Vec3f Quatf::rotate(const Vec3f& p) const {
    return ((*this) * Quatf(p.e[0], p.e[1], p.e[2], 1.0f) * inverse()).v;
}

Quatf operator*(const Quatf& a, const Quatf& b) {
    Quatf r;
    r.v = cross(a.v, b.v) + a.w * b.v + b.w * a.v;
    r.w = a.w * b.w - dot(a.v, b.v);
    return r;
}

Quatf operator*(const Quatf& q, float s) { return {q.v.e[0] * s, q.v.e[1] * s, q.v.e[2] * s, q.w * s}; }

Quatf operator+(const Quatf& a, const Quatf& b) {
    return {a.v.e[0] + b.v.e[0], a.v.e[1] + b.v.e[1], a.v.e[2] + b.v.e[2], a.w + b.w};
}

bool operator==(const Quatf& a, const Quatf& b) { return a.v == b.v && a.w == b.w; }

}  // namespace xmo
