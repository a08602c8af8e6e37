// Fixed-size float vectors: Vec2f, Vec3f, Vec4f.
//
// Plain arrays copied by value, zero on default construction. Every element
// access is bounds-checked in every build ("i<N", unit arithvec-using-array).
// Arithmetic is float throughout and sums run in index order, so results are
// reproducible bit for bit.
#pragma once

#include <cmath>
#include <cstddef>

#include "base/check.h"

namespace xmo {

template <int N>
struct Vec {
    float e[N] = {};

    constexpr Vec() = default;
    template <typename... T, typename = std::enable_if_t<sizeof...(T) == N>>
    constexpr Vec(T... values) : e{static_cast<float>(values)...} {}

    float operator[](int i) const {
        XMO_CHECK(i >= 0 && i < N, "arithvec-using-array");
        return e[i];
    }
    float& operator[](int i) {
        XMO_CHECK(i >= 0 && i < N, "arithvec-using-array");
        return e[i];
    }

    float x() const { return e[0]; }
    float y() const { return e[1]; }
    float z() const {
        static_assert(N >= 3, "no z component");
        return e[2];
    }
    float w() const {
        static_assert(N >= 4, "no w component");
        return e[3];
    }

    Vec& operator+=(const Vec& o) {
        for (int i = 0; i < N; ++i) e[i] += o.e[i];
        return *this;
    }
    Vec& operator-=(const Vec& o) {
        for (int i = 0; i < N; ++i) e[i] -= o.e[i];
        return *this;
    }
    Vec& operator*=(float s) {
        for (int i = 0; i < N; ++i) e[i] *= s;
        return *this;
    }
    Vec& operator/=(float s) {
        for (int i = 0; i < N; ++i) e[i] /= s;
        return *this;
    }
};

using Vec2f = Vec<2>;
using Vec3f = Vec<3>;
using Vec4f = Vec<4>;

template <int N>
Vec<N> operator+(Vec<N> a, const Vec<N>& b) { return a += b; }
template <int N>
Vec<N> operator-(Vec<N> a, const Vec<N>& b) { return a -= b; }
template <int N>
Vec<N> operator*(float s, Vec<N> v) { return v *= s; }
template <int N>
Vec<N> operator*(Vec<N> v, float s) { return v *= s; }
template <int N>
Vec<N> operator/(Vec<N> v, float s) { return v /= s; }
template <int N>
Vec<N> operator-(Vec<N> v) {
    for (int i = 0; i < N; ++i) v.e[i] = -v.e[i];
    return v;
}

// Exact comparison: (-100, -100, -100) equals only itself.
template <int N>
bool operator==(const Vec<N>& a, const Vec<N>& b) {
    for (int i = 0; i < N; ++i)
        if (a.e[i] != b.e[i]) return false;
    return true;
}
template <int N>
bool operator!=(const Vec<N>& a, const Vec<N>& b) { return !(a == b); }

template <int N>
float dot(const Vec<N>& a, const Vec<N>& b) {
    float sum = 0.0f;
    for (int i = 0; i < N; ++i) sum += a.e[i] * b.e[i];
    return sum;
}

inline Vec3f cross(const Vec3f& a, const Vec3f& b) {
    return {a.e[1] * b.e[2] - a.e[2] * b.e[1], a.e[2] * b.e[0] - a.e[0] * b.e[2],
            a.e[0] * b.e[1] - a.e[1] * b.e[0]};
}

template <int N>
float length(const Vec<N>& v) { return std::sqrt(dot(v, v)); }

// A zero vector is not guarded: it yields NaN components, as callers expect
// only of degenerate input they check themselves.
template <int N>
Vec<N> normalize(const Vec<N>& v) { return v / length(v); }

}  // namespace xmo
