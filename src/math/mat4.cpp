#include "math/mat4.h"

#include <cmath>

namespace xmo {

Mat4x4f::Mat4x4f(const float m[16]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) row[r].e[c] = m[4 * r + c];
}

Mat4x4f Mat4x4f::identity() {
    Mat4x4f m;
    for (int i = 0; i < 4; ++i) m.row[i].e[i] = 1.0f;
    return m;
}

void Mat4x4f::toFloats(float out[16]) const {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out[4 * r + c] = row[r].e[c];
}

Mat4x4f operator*(const Mat4x4f& m, const Mat4x4f& n) {
    Mat4x4f result;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += m.row[i].e[k] * n.row[k].e[j];
            result.row[i].e[j] = sum;
        }
    return result;
}

Vec4f operator*(const Mat4x4f& m, const Vec4f& v) {
    return {dot(m.row[0], v), dot(m.row[1], v), dot(m.row[2], v), dot(m.row[3], v)};
}

namespace {

// Left as it is when its length is zero.
void normalizeInPlace(Vec3f& v) {
    const float r = static_cast<float>(std::sqrt(static_cast<double>(v.e[0] * v.e[0] + v.e[1] * v.e[1] + v.e[2] * v.e[2])));
    if (r == 0.0f) return;
    for (float& c : v.e) c /= r;
}

}  // namespace

Mat4x4f lookAt(const Vec3f& eye, const Vec3f& centre, const Vec3f& up) {
    // The direction is taken in double, as the look-at's arguments are.
    Vec3f forward;
    for (int i = 0; i < 3; ++i)
        forward.e[i] = static_cast<float>(static_cast<double>(centre.e[i]) - static_cast<double>(eye.e[i]));
    normalizeInPlace(forward);
    Vec3f side = cross(forward, up);
    normalizeInPlace(side);
    const Vec3f trueUp = cross(side, forward);

    Mat4x4f m;
    for (int j = 0; j < 3; ++j) m.row[j] = Vec4f{side.e[j], trueUp.e[j], -forward.e[j], 0.0f};
    // The eye moved to the origin: each translation entry sums the three
    // columns in order onto the identity's zero, as a translate of the
    // matrix stack does.
    const float x = -eye.e[0], y = -eye.e[1], z = -eye.e[2];
    for (int r = 0; r < 4; ++r)
        m.row[3].e[r] = m.row[0].e[r] * x + m.row[1].e[r] * y + m.row[2].e[r] * z + (r == 3 ? 1.0f : 0.0f);
    return m;
}

Mat4x4f invertAffine(const Mat4x4f& mat) {
    auto m = [&mat](int r, int c) { return mat.row[r].e[c]; };
    if (m(0, 3) != 0.0f || m(1, 3) != 0.0f || m(2, 3) != 0.0f || m(3, 3) != 1.0f)
        throw Mat4x4fNotAffine();

    const float products[6] = {
        m(0, 0) * m(1, 1) * m(2, 2),  m(0, 1) * m(1, 2) * m(2, 0),
        m(0, 2) * m(1, 0) * m(2, 1),  -m(0, 2) * m(1, 1) * m(2, 0),
        -m(0, 1) * m(1, 0) * m(2, 2), -m(0, 0) * m(1, 2) * m(2, 1),
    };
    float pos = 0.0f, neg = 0.0f;
    for (float p : products) (p >= 0.0f ? pos : neg) += p;
    const float det = pos + neg;
    if (det == 0.0f || std::fabs(det / (pos - neg)) < 1e-29f) throw Mat4x4fSingular();

    const float d = 1.0f / det;
    Mat4x4f r;
    r.row[0].e[0] = (m(1, 1) * m(2, 2) - m(1, 2) * m(2, 1)) * d;
    r.row[1].e[0] = -(m(1, 0) * m(2, 2) - m(1, 2) * m(2, 0)) * d;
    r.row[2].e[0] = (m(1, 0) * m(2, 1) - m(1, 1) * m(2, 0)) * d;
    r.row[0].e[1] = -(m(0, 1) * m(2, 2) - m(0, 2) * m(2, 1)) * d;
    r.row[1].e[1] = (m(0, 0) * m(2, 2) - m(0, 2) * m(2, 0)) * d;
    r.row[2].e[1] = -(m(0, 0) * m(2, 1) - m(0, 1) * m(2, 0)) * d;
    r.row[0].e[2] = (m(0, 1) * m(1, 2) - m(0, 2) * m(1, 1)) * d;
    r.row[1].e[2] = -(m(0, 0) * m(1, 2) - m(0, 2) * m(1, 0)) * d;
    r.row[2].e[2] = (m(0, 0) * m(1, 1) - m(0, 1) * m(1, 0)) * d;
    for (int j = 0; j < 3; ++j)
        r.row[3].e[j] = -(m(3, 0) * r.row[0].e[j] + m(3, 1) * r.row[1].e[j] + m(3, 2) * r.row[2].e[j]);
    r.row[3].e[3] = 1.0f;
    return r;
}

}  // namespace xmo
