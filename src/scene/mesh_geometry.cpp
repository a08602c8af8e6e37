#include "scene/mesh_geometry.h"

#include <algorithm>

namespace xmo {

namespace {

bool inList(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

// Counts the generated normals and entries, so the lists are sized once: a
// large mesh must not pay for doubling growth in peak memory.
struct LayoutCount {
    void face(const int*) { ++faces; }
    void normal() { ++entries; }
    void polygonEnd() { ++entries; }

    std::size_t faces = 0;
    std::size_t entries = 0;
};

struct NormalGeneration {
    void face(const int* slot) {
        const std::size_t size = points.size();
        if (!inList(slot[0], size) || !inList(slot[1], size) || !inList(slot[2], size)) return;
        current = faceNormal(points[static_cast<std::size_t>(slot[0])], points[static_cast<std::size_t>(slot[1])],
                             points[static_cast<std::size_t>(slot[2])]);
        currentIndex = -1;
    }
    void normal() {
        if (currentIndex < 0) {
            currentIndex = static_cast<int>(vectors.size());
            vectors.push_back(current);
        }
        normalIndex.push_back(currentIndex);
    }
    void polygonEnd() { normalIndex.push_back(-1); }

    const std::vector<Vec3f>& points;
    std::vector<Vec3f>& vectors;
    std::vector<int>& normalIndex;
    Vec3f current;
    int currentIndex = -1;  // where current is held, once an entry names it
};

// Where the flat normals' layout leaves a vertex of coordIndex without a
// normal: at a -1 of normalIndex (a polygon of fewer than two vertices puts
// its end ahead of coordIndex's), or past normalIndex's end.
struct LayoutMismatch {
    void face(const int*) {}
    void normal() { ++normals, ++entries; }
    void polygonEnd() {
        if (!firstEndOnVertex && entries < coordIndex.size() && coordIndex[entries] != -1) firstEndOnVertex = entries;
        ++entries;
    }

    const std::vector<int>& coordIndex;
    std::size_t normals = 0;
    std::size_t entries = 0;
    std::optional<std::size_t> firstEndOnVertex;
};

}  // namespace

Vec3f faceNormal(const Vec3f& a, const Vec3f& b, const Vec3f& c) {
    const Vec3f n = cross(b - a, c - b);
    const float len = length(n);
    return len > 0.0f ? n / len : Vec3f{};
}

void generateFlatNormals(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                         std::vector<Vec3f>& vectors, std::vector<int>& normalIndex) {
    LayoutCount count;
    walkFlatNormalLayout(coordIndex, count);
    vectors.reserve(vectors.size() + count.faces + 1);
    normalIndex.reserve(normalIndex.size() + count.entries);
    NormalGeneration generation{points, vectors, normalIndex, Vec3f{}};
    walkFlatNormalLayout(coordIndex, generation);
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
    std::optional<LayoutMismatch> flat;
    if (!mesh.normal || mesh.normalsGenerated) {
        flat.emplace(LayoutMismatch{mesh.coordIndex, 0, 0, std::nullopt});
        walkFlatNormalLayout(mesh.coordIndex, *flat);
    }
    const auto fewerNormals = [](std::size_t r) {
        return FaceSetProblem{DiagnosticKind::BadIndex, "normalIndex has fewer entries than coordIndex; vertices from entry " +
                                                            std::to_string(r) + " on have no normal"};
    };
    const bool texInStep = texCoordIndexFollowsCoordIndex(mesh);
    std::size_t vertex = 0;
    for (std::size_t r = 0; r < mesh.coordIndex.size(); ++r) {
        const int i = mesh.coordIndex[r];
        if (i == -1) continue;
        if (!inList(i, points)) return bad("coordIndex", r, i, "points", points);
        if (flat) {
            if (r >= flat->entries) return fewerNormals(r);
            if (r == flat->firstEndOnVertex) return bad("normalIndex", r, -1, "normals", flat->normals);
        } else {
            if (r >= mesh.normalIndex.size()) return fewerNormals(r);
            if (!inList(mesh.normalIndex[r], normals))
                return bad("normalIndex", r, mesh.normalIndex[r], "normals", normals);
        }
        if (mesh.texCoord) {
            const std::size_t t = texInStep ? r : vertex++;
            if (t >= mesh.texCoordIndex.size())
                return FaceSetProblem{DiagnosticKind::BadIndex,
                                      "texCoordIndex has fewer entries than the mesh has vertices; vertex " +
                                          std::to_string(t) + " on have no texture coordinate"};
            if (!inList(mesh.texCoordIndex[t], texPoints))
                return bad("texCoordIndex", t, mesh.texCoordIndex[t], "texture coordinates", texPoints);
        }
    }
    return std::nullopt;
}

bool texCoordIndexFollowsCoordIndex(const IndexedFaceSet& mesh) {
    return std::find(mesh.texCoordIndex.begin(), mesh.texCoordIndex.end(), -1) != mesh.texCoordIndex.end();
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
