// Attribute values written as text that the movie loader reads back to the
// very same value (movie/values.h is the reading side).
//
// Numbers take the stream's default form, six significant digits ("0.5",
// "2", "1.5e+06"), whenever that reads back to the same float; a float that
// six digits would change gets as many digits as it needs (at most nine).
// Rotations are written as a unit axis and an angle in degrees when that
// reads back to the same quaternion; otherwise an axis and angle that do are
// sought (a file's axis may be longer than 1, an angle may lie beyond 360).
// Strings are escaped so that every character reads back. Depends on math/
// and movie/values.h.
#pragma once

#include <string>
#include <vector>

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

std::string floatText(float value);
// The components separated by single blanks.
template <int N>
std::string vectorText(const Vec<N>& v) {
    std::string text = floatText(v.e[0]);
    for (int i = 1; i < N; ++i) text += ' ' + floatText(v.e[i]);
    return text;
}
// Axis x, y, z and the angle in degrees.
std::string rotationText(const Quatf& rotation);
std::string intListText(const std::vector<int>& list);

// &, <, > and " as entities; control characters (tab, line feed, carriage
// return, which the reader would turn into blanks) as numeric character
// references.
std::string escapeXml(const std::string& text);

// Bit for bit, so that 0 and -0 differ: what a reader gets back must be
// exactly what was written.
bool sameBits(float a, float b);
template <int N>
bool sameBits(const Vec<N>& a, const Vec<N>& b) {
    for (int i = 0; i < N; ++i)
        if (!sameBits(a.e[i], b.e[i])) return false;
    return true;
}
bool sameBits(const Quatf& a, const Quatf& b);

}  // namespace xmo
