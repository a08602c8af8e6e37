#include "movie/values.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace xmo {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

const char* skipBlanks(const char* p) {
    while (isBlank(*p)) ++p;
    return p;
}

// Reads one integer at p; returns the end of it, or nullptr when there is none.
// Values beyond the int range saturate, as a stream extraction does.
const char* scanInt(const char* p, int& value) {
    p = skipBlanks(p);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (!isDigit(*p)) return nullptr;
    long long magnitude = 0;
    for (; isDigit(*p); ++p)
        if (magnitude <= static_cast<long long>(INT_MAX) + 1) magnitude = magnitude * 10 + (*p - '0');
    const long long signedValue = negative ? -magnitude : magnitude;
    value = signedValue > INT_MAX ? INT_MAX : signedValue < INT_MIN ? INT_MIN : static_cast<int>(signedValue);
    return p;
}

// Reads one decimal float at p; returns the end of it, or nullptr when there
// is none. Only the decimal form counts: no hexadecimal, "inf" or "nan".
const char* scanFloat(const char* p, float& value) {
    p = skipBlanks(p);
    const char* start = p;
    const char* q = p;
    if (*q == '+' || *q == '-') ++q;
    if (!isDigit(*q) && !(*q == '.' && isDigit(q[1]))) return nullptr;
    // "0x1p3" reads as 0 followed by text that does not fit.
    if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X')) {
        value = *start == '-' ? -0.0f : 0.0f;
        return q + 1;
    }
    char* end = nullptr;
    float v = std::strtof(start, &end);
    // An overflowing value saturates at the largest float, as a stream does.
    if (std::isinf(v)) v = v < 0 ? -FLT_MAX : FLT_MAX;
    value = v;
    return end;
}

template <int N>
Vec<N> readFloats(const char* text) {
    Vec<N> result;
    const char* p = text;
    for (int i = 0; i < N && p; ++i) {
        float v = 0.0f;
        p = scanFloat(p, v);
        if (p) result.e[i] = v;
    }
    return result;
}

}  // namespace

bool readInt(const char* text, int& value) { return scanInt(text, value) != nullptr; }

bool readFloat(const char* text, float& value) { return scanFloat(text, value) != nullptr; }

Vec2f readVec2(const char* text) { return readFloats<2>(text); }

Vec3f readVec3(const char* text) { return readFloats<3>(text); }

Quatf readRotation(const char* text) {
    const Vec4f r = readFloats<4>(text);
    return Quatf::fromAxisAngle(Vec3f{r.e[0], r.e[1], r.e[2]}, r.e[3]);
}

bool readBool(const char* text) { return std::strcmp(text, "true") == 0; }

std::vector<int> readIntList(const char* text) {
    std::vector<int> list;
    int v = 0;
    for (const char* p = scanInt(text, v); p; p = scanInt(p, v)) list.push_back(v);
    return list;
}

}  // namespace xmo
