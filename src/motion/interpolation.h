// Blending tools of the camera paths and key-frame animations: the easing
// named "hermite", linear blends of points and spherical blends of rotations.
// All arithmetic is float.
#pragma once

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

// 3u^2 - 2u^3: 0 to 1 with zero slope at both ends. Applied to a blend
// parameter, never to positions.
float hermiteEase(float u);

Vec3f lerp(const Vec3f& a, const Vec3f& b, float u);

// No sign flip toward the shorter arc and no normalisation of the result.
// The dot product is clamped to [-1, 1]; for (nearly) equal or opposite
// rotations, where sin(omega) vanishes, the result is q0. A rotation whose
// axis was written at another length than 1 is blended as its unit rotation.
Quatf slerp(const Quatf& q0, const Quatf& q1, float u);

}  // namespace xmo
