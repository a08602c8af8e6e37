#include "movie/values.h"

#include <cmath>
#include <cstring>

#include "base/number_scan.h"

namespace xmo {

namespace {

// A number beyond its type's range still counts as read, saturated.
bool wasRead(NumberScan scan) { return scan == NumberScan::Ok || scan == NumberScan::OutOfRange; }

void note(ValueFault* fault, ValueFault found) {
    if (fault && *fault == ValueFault::None) *fault = found;
}

// What a scan that read a number leaves to say: saturation, or text after it.
void noteAfterNumber(ValueFault* fault, NumberScan scan, const char* rest) {
    if (scan == NumberScan::OutOfRange) note(fault, ValueFault::Saturated);
    if (*skipBlanks(rest) != '\0') note(fault, ValueFault::ExtraText);
}

template <int N>
Vec<N> readFloats(const char* text, ValueFault* fault) {
    Vec<N> result;
    const char* p = text;
    for (int i = 0; i < N; ++i) {
        float v = 0.0f;
        const NumberScan scan = scanFloat(p, v, CutExponent::EndsNumber);
        if (!wasRead(scan)) {
            note(fault, scan == NumberScan::End ? ValueFault::TooFewNumbers : ValueFault::NotANumber);
            return result;
        }
        if (scan == NumberScan::OutOfRange) note(fault, ValueFault::Saturated);
        result.e[i] = v;
    }
    noteAfterNumber(fault, NumberScan::Ok, p);
    return result;
}

bool hasLength(const Vec3f& axis) { return axis.e[0] != 0.0f || axis.e[1] != 0.0f || axis.e[2] != 0.0f; }

bool isFinite(const Quatf& q) {
    return std::isfinite(q.v.e[0]) && std::isfinite(q.v.e[1]) && std::isfinite(q.v.e[2]) && std::isfinite(q.w);
}

}  // namespace

bool readInt(const char* text, int& value, ValueFault* fault) {
    int v = 0;
    const NumberScan scan = scanInt(text, v);
    if (!wasRead(scan)) {
        note(fault, ValueFault::NotANumber);
        return false;
    }
    noteAfterNumber(fault, scan, text);
    value = v;
    return true;
}

bool readFloat(const char* text, float& value, ValueFault* fault) {
    float v = 0.0f;
    const NumberScan scan = scanFloat(text, v, CutExponent::EndsNumber);
    if (!wasRead(scan)) {
        note(fault, ValueFault::NotANumber);
        return false;
    }
    noteAfterNumber(fault, scan, text);
    value = v;
    return true;
}

Vec2f readVec2(const char* text, ValueFault* fault) { return readFloats<2>(text, fault); }

Vec3f readVec3(const char* text, ValueFault* fault) { return readFloats<3>(text, fault); }

Quatf readRotation(const char* text, ValueFault* fault) {
    const Vec4f r = readFloats<4>(text, fault);
    const Vec3f axis{r.e[0], r.e[1], r.e[2]};
    if (!hasLength(axis)) {
        // The author most likely forgot the axis; a zero angle turns nothing anyway.
        if (r.e[3] != 0.0f) note(fault, ValueFault::ZeroAxis);
        return Quatf();
    }
    const Quatf q = Quatf::fromAxisAngle(axis, r.e[3]);
    return isFinite(q) ? q : Quatf();
}

bool readBool(const char* text, ValueFault* fault) {
    if (std::strcmp(text, "true") == 0) return true;
    if (std::strcmp(text, "false") != 0) note(fault, ValueFault::NotABool);
    return false;
}

std::vector<int> readIntList(const char* text, ValueFault* fault) {
    std::vector<int> list;
    int v = 0;
    const char* p = text;
    NumberScan scan;
    while (wasRead(scan = scanInt(p, v))) {
        if (scan == NumberScan::OutOfRange) note(fault, ValueFault::Saturated);
        list.push_back(v);
    }
    if (scan == NumberScan::Malformed) note(fault, ValueFault::ExtraText);
    return list;
}

void readString(const char* text, std::string& value) {
    const char* run = std::strstr(text, "  ");
    if (!run) {
        value = text;
        return;
    }
    value.assign(text, run + 1);
    for (const char* p = run + 1; *p; ++p)
        if (*p != ' ' || value.back() != ' ') value += *p;
}

}  // namespace xmo
