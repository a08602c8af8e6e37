#include "movie/values.h"

#include <cmath>
#include <cstring>

#include "base/number_scan.h"

namespace xmo {

namespace {

// A number beyond its type's range still counts as read, saturated.
bool wasRead(NumberScan scan) { return scan == NumberScan::Ok || scan == NumberScan::OutOfRange; }

template <int N>
Vec<N> readFloats(const char* text) {
    Vec<N> result;
    const char* p = text;
    for (int i = 0; i < N; ++i) {
        float v = 0.0f;
        if (!wasRead(scanFloat(p, v, CutExponent::EndsNumber))) break;
        result.e[i] = v;
    }
    return result;
}

bool hasLength(const Vec3f& axis) { return axis.e[0] != 0.0f || axis.e[1] != 0.0f || axis.e[2] != 0.0f; }

bool isFinite(const Quatf& q) {
    return std::isfinite(q.v.e[0]) && std::isfinite(q.v.e[1]) && std::isfinite(q.v.e[2]) && std::isfinite(q.w);
}

}  // namespace

bool readInt(const char* text, int& value) {
    int v = 0;
    if (!wasRead(scanInt(text, v))) return false;
    value = v;
    return true;
}

bool readFloat(const char* text, float& value) {
    float v = 0.0f;
    if (!wasRead(scanFloat(text, v, CutExponent::EndsNumber))) return false;
    value = v;
    return true;
}

Vec2f readVec2(const char* text) { return readFloats<2>(text); }

Vec3f readVec3(const char* text) { return readFloats<3>(text); }

Quatf readRotation(const char* text) {
    const Vec4f r = readFloats<4>(text);
    const Vec3f axis{r.e[0], r.e[1], r.e[2]};
    if (!hasLength(axis)) return Quatf();
    const Quatf q = Quatf::fromAxisAngle(axis, r.e[3]);
    return isFinite(q) ? q : Quatf();
}

bool hasRotationAxis(const char* text) {
    const Vec4f r = readFloats<4>(text);
    return hasLength(Vec3f{r.e[0], r.e[1], r.e[2]}) || r.e[3] == 0.0f;
}

bool readBool(const char* text) { return std::strcmp(text, "true") == 0; }

std::vector<int> readIntList(const char* text) {
    std::vector<int> list;
    int v = 0;
    for (const char* p = text; wasRead(scanInt(p, v));) list.push_back(v);
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
