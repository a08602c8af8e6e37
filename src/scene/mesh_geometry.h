// Pure geometry of polygon meshes (IndexedFaceSet): flat normal generation,
// index validation, bounding boxes and the walk that turns the index lists
// into polygons. No OpenGL here: the drawing code feeds the walk's output to
// OpenGL, and the tests feed it to a recorder.
//
// Every index read from a file is checked against its list before use; an
// entry that points nowhere is skipped, never dereferenced.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "math/vec.h"
#include "scene/nodes.h"

namespace xmo {

// Flat normals, one per polygon, in the layout the face-set walk reads:
// every vertex entry of coordIndex gets a normal-index entry naming a copy of
// its polygon's normal (from its first three vertices, counter-clockwise
// facing), and every -1 of coordIndex lines up with a -1 of normalIndex.
// A polygon of k >= 3 vertices closed by -1 gets k entries; a last polygon
// without -1 is completed by two trailing entries. Vertices whose index lies
// outside points still take their place in the layout but give no normal
// (the polygon keeps the previous one), and a degenerate polygon (its first
// three points on a line) gets the zero normal rather than NaN.
void generateFlatNormals(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                         std::vector<Vec3f>& vectors, std::vector<int>& normalIndex);

// The direction of (b - a) x (c - b), or zero when it has no length.
Vec3f faceNormal(const Vec3f& a, const Vec3f& b, const Vec3f& c);

// The first reason a face set cannot be drawn as written: no Coordinate, or
// an index (point, normal or texture coordinate) outside its list. Checked
// once per mesh after finish.
struct FaceSetProblem {
    DiagnosticKind kind;
    std::string message;
};
std::optional<FaceSetProblem> findFaceSetProblem(const IndexedFaceSet& mesh);

// A casting mesh whose shadow faces still have open edges after finish:
// "N open edges; its shadow may leak". Nothing for a closed mesh or one that
// does not cast.
std::optional<FaceSetProblem> findOpenShadowEdges(const IndexedFaceSet& mesh);

// Axis-aligned box of the points that coordIndex names (entries 0 or more and
// inside the point list), merged into min and max. The comparisons are the
// loader's: max rises when a value is greater, min falls when it is not
// greater than or equal.
void extendMeshBounds(const IndexedFaceSet& mesh, Vec3f& min, Vec3f& max);

// Walks a face set the way it is compiled: one polygon per -1-terminated run
// of coordIndex (a trailing -1 gives a final empty polygon). The normal cursor
// advances on every entry, -1 included, so normalIndex runs in step with
// coordIndex; the texture cursor advances once per vertex and only when the
// mesh has texture coordinates. Entries that point outside their lists are
// left out. Sink needs beginPolygon(), texCoord(Vec2f), normal(Vec3f),
// vertex(Vec3f) and endPolygon(). A mesh without Coordinate emits nothing.
template <typename Sink>
void walkFaceSet(const IndexedFaceSet& mesh, Sink& sink) {
    if (!mesh.coord) return;
    const std::vector<Vec3f>& points = mesh.coord->point;
    const auto valid = [](int index, std::size_t size) {
        return index >= 0 && static_cast<std::size_t>(index) < size;
    };
    std::size_t t = 0;
    sink.beginPolygon();
    for (std::size_t r = 0; r < mesh.coordIndex.size(); ++r) {
        const int i = mesh.coordIndex[r];
        if (i == -1) {
            sink.endPolygon();
            sink.beginPolygon();
            continue;
        }
        if (mesh.texCoord) {
            if (t < mesh.texCoordIndex.size() && valid(mesh.texCoordIndex[t], mesh.texCoord->point.size()))
                sink.texCoord(mesh.texCoord->point[static_cast<std::size_t>(mesh.texCoordIndex[t])]);
            ++t;
        }
        if (mesh.normal && r < mesh.normalIndex.size() && valid(mesh.normalIndex[r], mesh.normal->vector.size()))
            sink.normal(mesh.normal->vector[static_cast<std::size_t>(mesh.normalIndex[r])]);
        if (valid(i, points.size())) sink.vertex(points[static_cast<std::size_t>(i)]);
    }
    sink.endPolygon();
}

}  // namespace xmo
