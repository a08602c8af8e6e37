#include "scene/scene_values.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace xmo {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

const char* skipBlanks(const char* p) {
    while (isBlank(*p)) ++p;
    return p;
}

enum class Scan { Ok, End, Malformed };

// The extent of the number at p: sign, mantissa (at least one digit, one
// decimal point at most), exponent. Returns null when p starts no number;
// *stop is where a stream would have stopped reading.
const char* numberEnd(const char* p, bool allowFraction, const char** stop) {
    const char* q = p;
    if (*q == '+' || *q == '-') ++q;
    const char* mantissa = q;
    while (isDigit(*q)) ++q;
    bool digits = q != mantissa;
    if (allowFraction && *q == '.') {
        const char* fraction = ++q;
        while (isDigit(*q)) ++q;
        digits = digits || q != fraction;
    }
    if (!digits) {
        *stop = q;
        return nullptr;
    }
    if (allowFraction && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (*e == '+' || *e == '-') ++e;
        if (!isDigit(*e)) {
            *stop = e;
            return nullptr;
        }
        while (isDigit(*e)) ++e;
        q = e;
    }
    *stop = q;
    return q;
}

// Out-of-range values take the rare slow road through strtof, which knows
// underflow (a tiny value, kept) from overflow (the largest float, failing).
Scan convertFloat(const char* begin, const char* end, float& value) {
    const char* digits = *begin == '+' ? begin + 1 : begin;
    const auto result = std::from_chars(digits, end, value);
    if (result.ec == std::errc() && result.ptr == end) return Scan::Ok;
    const std::string copy(begin, end);
    errno = 0;
    const float v = std::strtof(copy.c_str(), nullptr);
    if (v == std::numeric_limits<float>::infinity() || v == -std::numeric_limits<float>::infinity()) {
        value = v > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
        return Scan::Malformed;
    }
    value = v;
    return Scan::Ok;
}

Scan scanFloat(const char*& p, float& value) {
    p = skipBlanks(p);
    if (*p == '\0') return Scan::End;
    const char* stop = nullptr;
    const char* end = numberEnd(p, true, &stop);
    if (!end) {
        value = 0.0f;
        p = stop;
        return Scan::Malformed;
    }
    const Scan scan = convertFloat(p, end, value);
    p = end;
    return scan;
}

Scan scanInt(const char*& p, int& value) {
    p = skipBlanks(p);
    if (*p == '\0') return Scan::End;
    const char* stop = nullptr;
    const char* end = numberEnd(p, false, &stop);
    if (!end) {
        value = 0;
        p = stop;
        return Scan::Malformed;
    }
    const char* digits = *p == '+' ? p + 1 : p;
    const auto result = std::from_chars(digits, end, value);
    p = end;
    if (result.ec == std::errc()) return Scan::Ok;
    value = *digits == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return Scan::Malformed;
}

// Reads count floats into out; false when one of them failed.
bool scanFloats(const char*& p, float* out, int count) {
    for (int i = 0; i < count; ++i)
        if (scanFloat(p, out[i]) != Scan::Ok) return false;
    return true;
}

template <int N>
void readPointList(const char* text, std::vector<Vec<N>>& points) {
    points.clear();
    const char* p = text;
    Vec<N> tuple;
    while (scanFloats(p, tuple.e, N)) {
        points.push_back(tuple);
        p = skipBlanks(p);
        if (*p == '\0') break;
        ++p;  // the separator, whatever character it is
    }
}

}  // namespace

bool readBool(const char* text) { return std::strcmp(text, "true") == 0; }

void readFloat(const char* text, float& value) {
    const char* p = text;
    scanFloat(p, value);
}

void readFloat3(const char* text, Vec3f& value) {
    const char* p = text;
    scanFloats(p, value.e, 3);
}

Quatf readRotation(const char* text) {
    float v[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    const char* p = text;
    scanFloats(p, v, 4);
    return Quatf::fromAxisAngle(Vec3f{v[0], v[1], v[2]}, v[3]);
}

void readPointList3(const char* text, std::vector<Vec3f>& points) { readPointList<3>(text, points); }
void readPointList2(const char* text, std::vector<Vec2f>& points) { readPointList<2>(text, points); }

void readIntList(const char* text, std::vector<int>& values) {
    values.clear();
    const char* p = text;
    int v = 0;
    while (scanInt(p, v) == Scan::Ok) values.push_back(v);
}

}  // namespace xmo
