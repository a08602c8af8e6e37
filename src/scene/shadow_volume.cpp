#include "scene/shadow_volume.h"

namespace xmo {

namespace {

// normalize, except that a point at the light itself is not pulled anywhere.
Vec3f awayFrom(const Vec3f& light, const Vec3f& p) {
    const Vec3f d = p - light;
    const float len = length(d);
    return len > 0.0f ? d / len : Vec3f{};
}

}  // namespace

Vec3f lightInMeshSpace(const float recordedMatrix[16], const Mat4x4f& inverseView) {
    const Mat4x4f b = Mat4x4f(recordedMatrix) * inverseView;
    const Vec4f l = b * Vec4f{kShadowLight.e[0], kShadowLight.e[1], kShadowLight.e[2], 1.0f};
    return {l.e[0], l.e[1], l.e[2]};
}

void markLitFaces(std::vector<ShadowFace>& faces, const Vec3f& light) {
    for (ShadowFace& face : faces) face.lit = dot(face.plane, light) + face.d > 0.0f;
}

void buildSilhouetteQuads(const std::vector<ShadowFace>& faces, const std::vector<Vec3f>& points,
                          const Vec3f& light, std::vector<ShadowQuad>& quads) {
    quads.clear();
    const auto isPoint = [&points](int i) { return i >= 0 && static_cast<std::size_t>(i) < points.size(); };
    for (const ShadowFace& face : faces) {
        if (!face.lit) continue;
        for (int e = 0; e < 4; ++e) {
            const int n = face.neighbour[e];
            if (n < 0 || static_cast<std::size_t>(n) >= faces.size() || faces[static_cast<std::size_t>(n)].lit)
                continue;
            const int ia = face.vertex[e];
            const int ib = face.vertex[face.edgeEnd(e)];
            if (!isPoint(ia) || !isPoint(ib)) continue;
            const Vec3f& a = points[static_cast<std::size_t>(ia)];
            const Vec3f& b = points[static_cast<std::size_t>(ib)];
            quads.push_back({{b, a, a + kShadowExtrusion * awayFrom(light, a),
                              b + kShadowExtrusion * awayFrom(light, b)}});
        }
    }
}

}  // namespace xmo
