// Quatf: a rotation as a Vec3f vector part followed by the scalar w.
//
// Files give rotations as an axis and an angle in degrees; the axis is used as
// written, not normalised, so a file's (0, 0, 2) axis scales the quaternion.
// A default Quatf is the identity (0, 0, 0, 1).
#pragma once

#include "math/vec.h"

namespace xmo {

struct AxisAngle {
    Vec3f axis;
    float degrees = 0.0f;
};

struct Quatf {
    Vec3f v;
    float w = 1.0f;

    constexpr Quatf() = default;
    constexpr Quatf(float x, float y, float z, float w_) : v{x, y, z}, w(w_) {}

    static Quatf fromAxisAngle(const Vec3f& axis, float degrees);
    // Angle in [0, 360] degrees and a unit axis; below 1e-6 radians the axis is
    // (0, 1, 0) and the tiny angle is returned unconverted.
    AxisAngle toAxisAngle() const;

    Quatf conjugate() const { return {-v.e[0], -v.e[1], -v.e[2], w}; }
    Quatf inverse() const;
    Vec3f rotate(const Vec3f& p) const;
};

Quatf operator*(const Quatf& a, const Quatf& b);
Quatf operator*(const Quatf& q, float s);
Quatf operator+(const Quatf& a, const Quatf& b);
bool operator==(const Quatf& a, const Quatf& b);

}  // namespace xmo
