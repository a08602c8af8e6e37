// The shadow data of a casting mesh, built once when the mesh is read: one
// ShadowFace per polygon of coordIndex (its point indices, its plane) and,
// per face edge, the face across that edge.
//
// A face holds four vertex slots. A polygon of more than four vertices keeps
// its first four; a triangle leaves slot 3 empty (-1). A quad's edge e joins
// slots e and (e + 1) mod 4; a triangle's edges are 0-1, 1-2 and 2-0 (see
// ShadowFace::edgeEnd). An edge with an empty slot (any negative index) joins
// nothing and never gets a neighbour. Depends on scene/nodes.h (ShadowFace)
// and math/.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "math/vec.h"
#include "scene/nodes.h"

namespace xmo {

// One face per -1-terminated polygon of coordIndex, in order; a last polygon
// without -1 counts too. A face gets its plane from the points of slots 0, 1
// and 2: normal (p1 - p0) x (p2 - p1), not normalised, and d = -(normal . p1).
// A face without three valid points, or a last open face of fewer than four
// vertices, gets no plane (all zero): it is never lit and casts nothing.
void buildShadowFaces(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex,
                      std::vector<ShadowFace>& faces);

// Fills every face's neighbour slots by hashing undirected edges: linear in
// the number of faces, also when many faces share one edge. The result is
// exactly that of the pairwise scan that visits each face j and each of its
// edges whose slot is still -1, then every other face k in order, pairing the
// edge with k's first matching edge (either winding) and writing both slots;
// so the last matching face stays j's neighbour. Neighbours set before are
// cleared first.
void buildNeighbours(std::vector<ShadowFace>& faces);

// The work lists of buildNeighbours, kept from one mesh to the next: the
// meshes of a large scene then share one allocation instead of each taking
// (and the system zeroing) its own.
class NeighbourScratch {
public:
    NeighbourScratch();
    ~NeighbourScratch();
    NeighbourScratch(const NeighbourScratch&) = delete;
    NeighbourScratch& operator=(const NeighbourScratch&) = delete;

private:
    friend void buildNeighbours(std::vector<ShadowFace>& faces, NeighbourScratch& scratch);
    struct Buffers;
    std::unique_ptr<Buffers> buffers_;
};
void buildNeighbours(std::vector<ShadowFace>& faces, NeighbourScratch& scratch);

// Every open edge of the faces: an edge of two points that no other face
// shares, through which the volume's stencil count leaks. Edges through an
// empty slot do not count. 0 for a closed mesh.
std::size_t countOpenEdges(const std::vector<ShadowFace>& faces);

// A mesh written with a point per normal or texture seam has its polygons
// apart along every seam, and so open edges. Welded, every point that repeats
// an earlier point's position exactly (0 and -0 alike) is replaced by that
// earlier one, and points lists each position once, in order of first use
// by coordIndex. Every polygon ends in -1; one with an entry outside the
// point list is dropped, and so is one left with fewer than three corners
// once corners that repeat the one before them are merged (it has no area,
// and would only pair with real faces across their edges). Linear in the
// entries.
struct WeldedPoints {
    std::vector<Vec3f> points;
    std::vector<int> coordIndex;
};
WeldedPoints weldByPosition(const std::vector<Vec3f>& points, const std::vector<int>& coordIndex);

// A polygon that the shadow cannot hold whole: "coordIndex entry N starts a
// polygon of K vertices; its shadow keeps the first four". The first one
// only; nothing when every polygon has at most four vertices.
std::optional<std::string> findLargeShadowPolygon(const std::vector<int>& coordIndex);

}  // namespace xmo
