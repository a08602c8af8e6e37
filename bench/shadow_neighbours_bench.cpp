// Neighbour building of shadow-casting meshes: the hashed buildNeighbours
// per face at 10k, 100k and 1M faces of a closed quad mesh (flat when it is
// linear), its speed against the pairwise scan it replaces at 2k faces, and
// the whole shadow set-up (faces and neighbours) of a 200,000-face mesh,
// which must stay under one second.
//
// Usage: shadow_neighbours_bench [MAX_FACES]   (the sizes up to MAX_FACES only;
// below 200,000 the one-second set-up is not measured)
#include <cstdlib>
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "scene/shadow_mesh.h"
#include "support/shadow_meshes.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename F>
double bestSeconds(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
    }
    return best;
}

std::vector<xmo::ShadowFace> closedFaces(int columns, int rows) {
    const xmo::test::IndexedMesh mesh = xmo::test::closedQuadMesh(columns, rows);
    std::vector<xmo::ShadowFace> faces;
    xmo::buildShadowFaces(mesh.points, mesh.coordIndex, faces);
    return faces;
}

double hashedSeconds(std::vector<xmo::ShadowFace> faces, int runs) {
    return bestSeconds(runs, [&] { xmo::buildNeighbours(faces); });
}

}  // namespace

int main(int argc, char** argv) {
    const long maxFaces = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::printf("hashed buildNeighbours, closed quad meshes (best of 3)\n");
    std::printf("%10s %12s %12s %14s\n", "faces", "seconds", "ns/face", "vs 10k/face");
    const int sizes[][2] = {{100, 100}, {400, 250}, {1000, 1000}};
    double basePerFace = 0.0;
    for (const auto& size : sizes) {
        const int faces = size[0] * size[1];
        if (faces > maxFaces) break;
        const double s = hashedSeconds(closedFaces(size[0], size[1]), 3);
        const double perFace = s / faces;
        if (basePerFace == 0.0) basePerFace = perFace;
        std::printf("%10d %12.4f %12.1f %14.2f\n", faces, s, perFace * 1e9, perFace / basePerFace);
    }

    const std::vector<xmo::ShadowFace> small = closedFaces(50, 40);
    const double hashed = hashedSeconds(small, 5);
    std::vector<xmo::ShadowFace> scanned = small;
    const double pairwise = bestSeconds(3, [&] { xmo::test::pairwiseNeighbours(scanned); });
    std::printf("\n2000 faces: pairwise %.4f s, hashed %.6f s, pairwise / hashed = %.0f\n", pairwise, hashed,
                pairwise / hashed);

    if (maxFaces < 200000) return 0;
    const xmo::test::IndexedMesh mesh = xmo::test::closedQuadMesh(500, 400);
    std::vector<xmo::ShadowFace> faces;
    const double setUp = bestSeconds(3, [&] {
        xmo::buildShadowFaces(mesh.points, mesh.coordIndex, faces);
        xmo::buildNeighbours(faces);
    });
    std::printf("200000-face closed mesh: faces and neighbours in %.3f s (limit 1 s): %s\n", setUp,
                setUp < 1.0 ? "ok" : "TOO SLOW");
    return setUp < 1.0 ? 0 : 1;
}
