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
// every vertex entry of coordIndex gets a normal-index entry naming its
// polygon's normal (from its first three vertices, counter-clockwise
// facing), and every -1 of coordIndex lines up with a -1 of normalIndex.
// A polygon of k >= 3 vertices closed by -1 gets k entries; a last polygon
// without -1 is completed by two trailing entries. Vertices whose index lies
// outside points still take their place in the layout but give no normal
// (the polygon keeps the previous one), and a degenerate polygon (its first
// three points on a line) gets the zero normal rather than NaN. Each normal
// is held once, however many entries name it: a copy per vertex would more
// than double the memory of a large mesh for the same picture.
void generateFlatNormals(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                         std::vector<Vec3f>& vectors, std::vector<int>& normalIndex);

// The layout above as a walk, shared by the generation and by the check of a
// mesh whose normals are only made when it is drawn: layout.face(slot) when a
// polygon's normal is computed from the three point indices in slot,
// layout.normal() for each normal-index entry naming the current normal, and
// layout.polygonEnd() for each -1.
template <typename Layout>
void walkFlatNormalLayout(const std::vector<int>& coordIndex, Layout& layout) {
    int slot[3] = {-1, -1, -1};
    int filled = 0;
    for (int entry : coordIndex) {
        if (entry == -1) {
            layout.normal();
            layout.normal();
            layout.polygonEnd();
            filled = 0;
            continue;
        }
        // A fourth and later vertex changes no slot, so the face normal is
        // that of the third.
        if (filled < 3) {
            slot[filled++] = entry;
            if (filled == 3) layout.face(slot);
        }
        if (filled == 3) layout.normal();
    }
    layout.normal();
    layout.normal();
}

// The direction of (b - a) x (c - b), or zero when it has no length.
Vec3f faceNormal(const Vec3f& a, const Vec3f& b, const Vec3f& c);

// The first reason a face set cannot be drawn as written: no Coordinate, or
// an index (point, normal or texture coordinate) outside its list. Checked
// once per mesh after finish. A mesh whose file gives no Normal is checked
// against the layout of its flat normals, whether they were made (for
// drawing) or not (for checking), so both say the same; a normal counts as
// often as an entry names it.
struct FaceSetProblem {
    DiagnosticKind kind;
    std::string message;
};
std::optional<FaceSetProblem> findFaceSetProblem(const IndexedFaceSet& mesh);

// Axis-aligned box of the points that coordIndex names (entries 0 or more and
// inside the point list), merged into min and max. The comparisons are the
// loader's: max rises when a value is greater, min falls when it is not
// greater than or equal.
void extendMeshBounds(const IndexedFaceSet& mesh, Vec3f& min, Vec3f& max);

// Whether texCoordIndex runs in step with coordIndex, -1 for -1, as X3D
// writes it (it holds a -1), rather than one entry per vertex.
bool texCoordIndexFollowsCoordIndex(const IndexedFaceSet& mesh);

// Walks a face set the way it is compiled: one polygon per -1-terminated run
// of coordIndex (a trailing -1 gives a final empty polygon). The normal cursor
// advances on every entry, -1 included, so normalIndex runs in step with
// coordIndex; so does the texture cursor when texCoordIndex follows
// coordIndex, else it advances once per vertex (and only when the mesh has
// texture coordinates). Entries that point outside their lists are
// left out. Sink needs beginPolygon(), texCoord(Vec2f), normal(Vec3f),
// vertex(Vec3f) and endPolygon(). A mesh without Coordinate emits nothing.
template <typename Sink>
void walkFaceSet(const IndexedFaceSet& mesh, Sink& sink) {
    if (!mesh.coord) return;
    const std::vector<Vec3f>& points = mesh.coord->point;
    const auto valid = [](int index, std::size_t size) {
        return index >= 0 && static_cast<std::size_t>(index) < size;
    };
    const bool texInStep = texCoordIndexFollowsCoordIndex(mesh);
    std::size_t vertex = 0;
    sink.beginPolygon();
    for (std::size_t r = 0; r < mesh.coordIndex.size(); ++r) {
        const int i = mesh.coordIndex[r];
        if (i == -1) {
            sink.endPolygon();
            sink.beginPolygon();
            continue;
        }
        if (mesh.texCoord) {
            const std::size_t t = texInStep ? r : vertex++;
            if (t < mesh.texCoordIndex.size() && valid(mesh.texCoordIndex[t], mesh.texCoord->point.size()))
                sink.texCoord(mesh.texCoord->point[static_cast<std::size_t>(mesh.texCoordIndex[t])]);
        }
        if (mesh.normal && r < mesh.normalIndex.size() && valid(mesh.normalIndex[r], mesh.normal->vector.size()))
            sink.normal(mesh.normal->vector[static_cast<std::size_t>(mesh.normalIndex[r])]);
        if (valid(i, points.size())) sink.vertex(points[static_cast<std::size_t>(i)]);
    }
    sink.endPolygon();
}

}  // namespace xmo
