// Affine placement for the standard X3D reading, which applies every
// Transform to the points as they are read (the player's own Transform
// node applies only a scale, and bounds take coordinates as written).
// Doubles throughout, so that deep chains of transforms lose nothing a
// float would show.
#pragma once

#include "math/vec.h"

namespace xmo {

struct Affine3 {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double t[3] = {0, 0, 0};

    static Affine3 translation(const Vec3f& v);
    static Affine3 scaling(const Vec3f& s);
    // About axis by radians; no turn when the axis has no length.
    static Affine3 rotation(const Vec3f& axis, float radians);

    Vec3f applyToPoint(const Vec3f& p) const;
    // A normal carried along with the points: by the inverse transpose,
    // made unit length (zero when the transform flattens it away).
    Vec3f applyToNormal(const Vec3f& n) const;
    double determinant() const;
};

// a then b applied to a point: (a * b)(p) = a(b(p)).
Affine3 operator*(const Affine3& a, const Affine3& b);

// An X3D Transform's fields, rotations as axis and angle in radians.
struct X3dTransformFields {
    Vec3f translation;
    Vec3f rotationAxis{0, 0, 1};
    float rotationAngle = 0.0f;
    Vec3f scale{1, 1, 1};
    Vec3f scaleOrientationAxis{0, 0, 1};
    float scaleOrientationAngle = 0.0f;
    Vec3f center;
};

// T * C * R * SR * S * -SR * -C, X3D's order: the children are scaled about
// the centre along the scale orientation's axes, turned about the centre,
// then moved.
Affine3 x3dTransformMatrix(const X3dTransformFields& f);

}  // namespace xmo
