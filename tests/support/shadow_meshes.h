// Meshes for the shadow tests and benchmarks, and the pairwise neighbour
// scan that the hashed buildNeighbours must match exactly.
#pragma once

#include <random>
#include <vector>

#include "math/vec.h"
#include "scene/nodes.h"

namespace xmo::test {

// The reference: for each face j and each edge i still unpaired when it is
// reached, every other face k in order; on k's first matching edge (either
// winding) both slots are written. Edges with an empty slot take no part.
// Quadratic in the faces.
inline void pairwiseNeighbours(std::vector<ShadowFace>& faces) {
    for (ShadowFace& f : faces)
        for (int& n : f.neighbour) n = -1;
    const int count = static_cast<int>(faces.size());
    for (int j = 0; j < count; ++j)
        for (int i = 0; i < 4; ++i) {
            ShadowFace& fj = faces[static_cast<std::size_t>(j)];
            if (fj.neighbour[i] != -1) continue;
            const int a = fj.vertex[i], b = fj.vertex[fj.edgeEnd(i)];
            if (a < 0 || b < 0) continue;
            for (int k = 0; k < count; ++k) {
                if (k == j) continue;
                ShadowFace& fk = faces[static_cast<std::size_t>(k)];
                for (int l = 0; l < 4; ++l) {
                    const int c = fk.vertex[l], d = fk.vertex[fk.edgeEnd(l)];
                    if ((a == c && b == d) || (a == d && b == c)) {
                        fj.neighbour[i] = k;
                        fk.neighbour[l] = j;
                        break;
                    }
                }
            }
        }
}

struct IndexedMesh {
    std::vector<Vec3f> points;
    std::vector<int> coordIndex;
};

// A closed surface of columns x rows quads: a grid whose edges wrap round in
// both directions (a torus), every edge shared by exactly two faces.
inline IndexedMesh closedQuadMesh(int columns, int rows) {
    IndexedMesh mesh;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) mesh.points.push_back(Vec3f{c, r, (c + r) % 2});
    const auto at = [columns, rows](int c, int r) { return (r % rows) * columns + c % columns; };
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            mesh.coordIndex.insert(mesh.coordIndex.end(), {at(c, r), at(c + 1, r), at(c + 1, r + 1), at(c, r + 1), -1});
    return mesh;
}

// The same closed surface with each quad a, b, c, d cut into the triangles
// a, b, c and a, c, d.
inline IndexedMesh closedTriangleMesh(int columns, int rows) {
    IndexedMesh mesh = closedQuadMesh(columns, rows);
    std::vector<int> quads;
    quads.swap(mesh.coordIndex);
    for (std::size_t q = 0; q + 4 < quads.size(); q += 5) {
        const int* v = &quads[q];
        mesh.coordIndex.insert(mesh.coordIndex.end(), {v[0], v[1], v[2], -1, v[0], v[2], v[3], -1});
    }
    return mesh;
}

// Faces drawn from a small pool of points, so that edges are shared by many
// faces, repeat inside a face and meet empty slots: 1 to 4 vertices each.
inline std::vector<ShadowFace> randomFaces(std::mt19937& random, int faceCount, int pointCount) {
    std::uniform_int_distribution<int> point(0, pointCount - 1), size(1, 4);
    std::vector<ShadowFace> faces(static_cast<std::size_t>(faceCount));
    for (ShadowFace& f : faces) {
        const int n = size(random);
        for (int s = 0; s < n; ++s) f.vertex[s] = point(random);
    }
    return faces;
}

}  // namespace xmo::test
