#include "scene/x3d_transform.h"

#include <cmath>

namespace xmo {

Affine3 Affine3::translation(const Vec3f& v) {
    Affine3 a;
    for (int i = 0; i < 3; ++i) a.t[i] = v.e[i];
    return a;
}

Affine3 Affine3::scaling(const Vec3f& s) {
    Affine3 a;
    for (int i = 0; i < 3; ++i) a.m[i][i] = s.e[i];
    return a;
}

Affine3 Affine3::rotation(const Vec3f& axis, float radians) {
    Affine3 a;
    const double x = axis.e[0], y = axis.e[1], z = axis.e[2];
    const double l = std::sqrt(x * x + y * y + z * z);
    if (!(l > 0.0) || !std::isfinite(l) || !std::isfinite(radians)) return a;
    const double ux = x / l, uy = y / l, uz = z / l;
    const double c = std::cos(radians), s = std::sin(radians), k = 1.0 - c;
    a.m[0][0] = c + ux * ux * k;
    a.m[0][1] = ux * uy * k - uz * s;
    a.m[0][2] = ux * uz * k + uy * s;
    a.m[1][0] = uy * ux * k + uz * s;
    a.m[1][1] = c + uy * uy * k;
    a.m[1][2] = uy * uz * k - ux * s;
    a.m[2][0] = uz * ux * k - uy * s;
    a.m[2][1] = uz * uy * k + ux * s;
    a.m[2][2] = c + uz * uz * k;
    return a;
}

Affine3 operator*(const Affine3& a, const Affine3& b) {
    Affine3 r;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
        r.t[i] = a.m[i][0] * b.t[0] + a.m[i][1] * b.t[1] + a.m[i][2] * b.t[2] + a.t[i];
    }
    return r;
}

Vec3f Affine3::applyToPoint(const Vec3f& p) const {
    Vec3f r;
    for (int i = 0; i < 3; ++i)
        r.e[i] = static_cast<float>(m[i][0] * p.e[0] + m[i][1] * p.e[1] + m[i][2] * p.e[2] + t[i]);
    return r;
}

Vec3f Affine3::applyToNormal(const Vec3f& n) const {
    // The cofactor matrix is the inverse transpose times the determinant;
    // its sign keeps the normal on the side it faced.
    const double cof[3][3] = {
        {m[1][1] * m[2][2] - m[1][2] * m[2][1], m[1][2] * m[2][0] - m[1][0] * m[2][2], m[1][0] * m[2][1] - m[1][1] * m[2][0]},
        {m[0][2] * m[2][1] - m[0][1] * m[2][2], m[0][0] * m[2][2] - m[0][2] * m[2][0], m[0][1] * m[2][0] - m[0][0] * m[2][1]},
        {m[0][1] * m[1][2] - m[0][2] * m[1][1], m[0][2] * m[1][0] - m[0][0] * m[1][2], m[0][0] * m[1][1] - m[0][1] * m[1][0]},
    };
    const double sign = determinant() < 0.0 ? -1.0 : 1.0;
    double r[3];
    for (int i = 0; i < 3; ++i) r[i] = sign * (cof[i][0] * n.e[0] + cof[i][1] * n.e[1] + cof[i][2] * n.e[2]);
    const double l = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    if (!(l > 0.0) || !std::isfinite(l)) return Vec3f{};
    return Vec3f{static_cast<float>(r[0] / l), static_cast<float>(r[1] / l), static_cast<float>(r[2] / l)};
}

double Affine3::determinant() const {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

Affine3 x3dTransformMatrix(const X3dTransformFields& f) {
    const Affine3 orient = Affine3::rotation(f.scaleOrientationAxis, f.scaleOrientationAngle);
    const Affine3 unorient = Affine3::rotation(f.scaleOrientationAxis, -f.scaleOrientationAngle);
    return Affine3::translation(f.translation) * Affine3::translation(f.center) *
           Affine3::rotation(f.rotationAxis, f.rotationAngle) * orient * Affine3::scaling(f.scale) * unorient *
           Affine3::translation(-f.center);
}

}  // namespace xmo
