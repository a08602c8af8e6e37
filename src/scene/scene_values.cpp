#include "scene/scene_values.h"

#include "base/number_scan.h"

namespace xmo {

namespace {

// Blanks and commas both separate the numbers of a list.
const char* skipSeparators(const char* p) {
    for (p = skipBlanks(p); *p == ','; p = skipBlanks(p + 1)) {
    }
    return p;
}

template <int N>
std::size_t readPointList(const char* text, std::vector<Vec<N>>& points) {
    points.clear();
    const char* p = skipSeparators(text);
    Vec<N> tuple;
    int filled = 0;
    while (*p != '\0' && scanFloat(p, tuple.e[filled]) == NumberScan::Ok) {
        if (++filled == N) {
            points.push_back(tuple);
            filled = 0;
        }
        p = skipSeparators(p);
    }
    return static_cast<std::size_t>(filled);
}

}  // namespace

void readSceneFloat(const char* text, float& value) {
    const char* p = text;
    scanFloat(p, value);
}

void readSceneFloat3(const char* text, Vec3f& value) {
    const char* p = text;
    scanFloats(p, value.e, 3);
}

std::size_t readPointList3(const char* text, std::vector<Vec3f>& points) { return readPointList<3>(text, points); }
std::size_t readPointList2(const char* text, std::vector<Vec2f>& points) { return readPointList<2>(text, points); }

void readIndexList(const char* text, std::vector<int>& values) {
    values.clear();
    const char* p = skipSeparators(text);
    int v = 0;
    while (*p != '\0' && scanInt(p, v) == NumberScan::Ok) {
        values.push_back(v);
        p = skipSeparators(p);
    }
}

}  // namespace xmo
