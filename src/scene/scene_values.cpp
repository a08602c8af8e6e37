#include "scene/scene_values.h"

#include "base/number_scan.h"

namespace xmo {

namespace {

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

void readSceneFloat(const char* text, float& value) {
    const char* p = text;
    scanFloat(p, value);
}

void readSceneFloat3(const char* text, Vec3f& value) {
    const char* p = text;
    scanFloats(p, value.e, 3);
}

void readPointList3(const char* text, std::vector<Vec3f>& points) { readPointList<3>(text, points); }
void readPointList2(const char* text, std::vector<Vec2f>& points) { readPointList<2>(text, points); }

void readIndexList(const char* text, std::vector<int>& values) {
    values.clear();
    const char* p = text;
    int v = 0;
    while (scanInt(p, v) == NumberScan::Ok) values.push_back(v);
}

}  // namespace xmo
