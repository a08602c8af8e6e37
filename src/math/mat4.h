// Mat4x4f: a 4x4 float matrix of four Vec4f rows, and its affine inversion.
//
// Built from OpenGL's 16 floats in array order, element [r][c] is float
// 4r + c, so OpenGL's column c lands in row c and the translation of an affine
// matrix lies in row 3. invertAffine is the only operation that fails; it
// throws Mat4x4fNotAffine or Mat4x4fSingular.
#pragma once

#include <string>

#include "math/vec.h"

namespace xmo {

class MotherException : public std::exception {
public:
    explicit MotherException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

class Mat4x4fException : public MotherException {
public:
    using MotherException::MotherException;
};

class Mat4x4fSingular : public Mat4x4fException {
public:
    Mat4x4fSingular() : Mat4x4fException("Tried to invert Singular matrix") {}
};

class Mat4x4fNotAffine : public Mat4x4fException {
public:
    Mat4x4fNotAffine() : Mat4x4fException("Can only invert affine matrices") {}
};

struct Mat4x4f {
    Vec4f row[4];  // zero matrix by default

    Mat4x4f() = default;
    explicit Mat4x4f(const float m[16]);

    static Mat4x4f identity();

    const Vec4f& operator[](int i) const {
        XMO_CHECK(i >= 0 && i < 4, "arithvec-using-array");
        return row[i];
    }
    Vec4f& operator[](int i) {
        XMO_CHECK(i >= 0 && i < 4, "arithvec-using-array");
        return row[i];
    }

    // The 16 floats in array order (the inverse of the constructor).
    void toFloats(float out[16]) const;
};

Mat4x4f operator*(const Mat4x4f& m, const Mat4x4f& n);
Vec4f operator*(const Mat4x4f& m, const Vec4f& v);

// The view of an eye at `eye` looking at `centre` with `up` pointing up the
// screen, in the layout above: what OpenGL holds after loading the identity
// and applying the classic look-at (rows side, up and backward, then the eye
// moved to the origin), computed in the same float steps so the numbers are
// the driver's own. An eye on its centre, or an up along the view, leaves
// the direction that cannot be normalised at zero, as that look-at does.
Mat4x4f lookAt(const Vec3f& eye, const Vec3f& centre, const Vec3f& up);

// Inverse of an affine matrix (3x3 block plus translation row). The
// determinant is summed from its positive and negative products apart, and a
// result that is tiny relative to their spread counts as singular: it is the
// cancellation of large terms, not a genuinely small scale.
Mat4x4f invertAffine(const Mat4x4f& m);

}  // namespace xmo
