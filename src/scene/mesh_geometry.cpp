#include "scene/mesh_geometry.h"

#include "scene/shadow_mesh.h"

namespace xmo {

namespace {

bool inList(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

// Number of generated normals for coordIndex, so the lists are sized once:
// a large mesh must not pay for doubling growth in peak memory.
std::size_t generatedNormalCount(const std::vector<int>& coordIndex) {
    std::size_t count = 2;
    int filled = 0;
    for (int entry : coordIndex) {
        if (entry == -1) {
            count += 2;
            filled = 0;
        } else {
            if (filled < 3) ++filled;
            if (filled == 3) ++count;
        }
    }
    return count;
}

}  // namespace

Vec3f faceNormal(const Vec3f& a, const Vec3f& b, const Vec3f& c) {
    const Vec3f n = cross(b - a, c - b);
    const float len = length(n);
    return len > 0.0f ? n / len : Vec3f{};
}

void generateFlatNormals(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                         std::vector<Vec3f>& vectors, std::vector<int>& normalIndex) {
    const std::size_t total = generatedNormalCount(coordIndex);
    std::size_t terminators = 0;
    for (int entry : coordIndex) terminators += entry == -1;
    vectors.reserve(vectors.size() + total);
    normalIndex.reserve(normalIndex.size() + total + terminators);

    Vec3f n;
    int count = static_cast<int>(vectors.size());
    int slot[3] = {-1, -1, -1};
    int filled = 0;
    const auto appendNormal = [&] {
        vectors.push_back(n);
        normalIndex.push_back(count++);
    };
    for (int entry : coordIndex) {
        if (entry == -1) {
            appendNormal();
            appendNormal();
            normalIndex.push_back(-1);
            filled = 0;
            continue;
        }
        if (filled < 3) slot[filled++] = entry;
        if (filled == 3) {
            const std::size_t size = points.size();
            if (inList(slot[0], size) && inList(slot[1], size) && inList(slot[2], size))
                n = faceNormal(points[static_cast<std::size_t>(slot[0])], points[static_cast<std::size_t>(slot[1])],
                               points[static_cast<std::size_t>(slot[2])]);
            appendNormal();
        }
    }
    appendNormal();
    appendNormal();
}

std::optional<FaceSetProblem> findFaceSetProblem(const IndexedFaceSet& mesh) {
    if (!mesh.coord)
        return FaceSetProblem{DiagnosticKind::MissingCoordinates,
                              "\"IndexedFaceSet\" without \"Coordinate\": the mesh is not drawn"};
    const std::size_t points = mesh.coord->point.size();
    const std::size_t normals = mesh.normal ? mesh.normal->vector.size() : 0;
    const std::size_t texPoints = mesh.texCoord ? mesh.texCoord->point.size() : 0;
    const auto bad = [](const char* list, std::size_t at, int value, const char* what, std::size_t size) {
        return FaceSetProblem{DiagnosticKind::BadIndex, std::string(list) + " entry " + std::to_string(at) +
                                                            " is " + std::to_string(value) + ", outside the " +
                                                            std::to_string(size) + " " + what +
                                                            "; it is left out"};
    };
    std::size_t t = 0;
    for (std::size_t r = 0; r < mesh.coordIndex.size(); ++r) {
        const int i = mesh.coordIndex[r];
        if (i == -1) continue;
        if (!inList(i, points)) return bad("coordIndex", r, i, "points", points);
        if (mesh.normal) {
            if (r >= mesh.normalIndex.size())
                return FaceSetProblem{DiagnosticKind::BadIndex,
                                      "normalIndex has fewer entries than coordIndex; vertices from entry " +
                                          std::to_string(r) + " on have no normal"};
            if (!inList(mesh.normalIndex[r], normals))
                return bad("normalIndex", r, mesh.normalIndex[r], "normals", normals);
        }
        if (mesh.texCoord) {
            if (t >= mesh.texCoordIndex.size())
                return FaceSetProblem{DiagnosticKind::BadIndex,
                                      "texCoordIndex has fewer entries than the mesh has vertices; vertex " +
                                          std::to_string(t) + " on have no texture coordinate"};
            if (!inList(mesh.texCoordIndex[t], texPoints))
                return bad("texCoordIndex", t, mesh.texCoordIndex[t], "texture coordinates", texPoints);
            ++t;
        }
    }
    return std::nullopt;
}

std::optional<FaceSetProblem> findOpenShadowEdges(const IndexedFaceSet& mesh) {
    if (!mesh.castshadow) return std::nullopt;
    const std::size_t open = countOpenEdges(mesh.shadowFaces);
    if (open == 0) return std::nullopt;
    return FaceSetProblem{DiagnosticKind::OpenShadowEdges,
                          std::to_string(open) + (open == 1 ? " open edge" : " open edges") +
                              "; its shadow may leak"};
}

void extendMeshBounds(const IndexedFaceSet& mesh, Vec3f& min, Vec3f& max) {
    if (!mesh.coord) return;
    Vec3f meshMin{1000000.0f, 1000000.0f, 1000000.0f};
    Vec3f meshMax{-1000000.0f, -1000000.0f, -1000000.0f};
    const std::vector<Vec3f>& points = mesh.coord->point;
    for (int i : mesh.coordIndex) {
        if (!inList(i, points.size())) continue;
        const Vec3f& p = points[static_cast<std::size_t>(i)];
        for (int a = 0; a < 3; ++a) {
            if (p.e[a] > meshMax.e[a]) meshMax.e[a] = p.e[a];
            if (!(p.e[a] >= meshMin.e[a])) meshMin.e[a] = p.e[a];
        }
    }
    for (int a = 0; a < 3; ++a) {
        if (meshMax.e[a] > max.e[a]) max.e[a] = meshMax.e[a];
        if (!(meshMin.e[a] >= min.e[a])) min.e[a] = meshMin.e[a];
    }
}

}  // namespace xmo
