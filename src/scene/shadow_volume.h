// Stencil shadow volumes of the meshes recorded while models were drawn: the
// light in each mesh's own coordinates, which faces it lights, and the
// silhouette quads that extrude the lit side away from it; then the GL half
// that marks the volumes in the stencil buffer between a dim and a bright
// pass of the world.
//
// The volumes have no caps: the depth-pass counting of front faces up and
// back faces down closes them. Nothing here allocates once the caller's
// buffers have grown to the largest mesh. Depends on scene/nodes.h, math/.
#pragma once

#include <vector>

#include "math/mat4.h"
#include "math/vec.h"
#include "scene/nodes.h"

namespace xmo {

// The shadow light, taken from each mesh's own origin (see lightInMeshSpace),
// and how far the silhouette is pulled away from it.
inline constexpr Vec3f kShadowLight{13.0f, 10.0f, 8.0f};
inline constexpr float kShadowExtrusion = 20.0f;

// l = (A . inverseView) . (L, 1) with A the recorded model-view matrix read
// row by row. The recorded matrix is the view times the mesh's placement
// [R | t], so this is R^T . L: the light offset turned into the mesh's axes,
// without its translation. Each mesh is therefore shadowed as if the light
// stood at (13, 10, 8) from its own origin.
Vec3f lightInMeshSpace(const float recordedMatrix[16], const Mat4x4f& inverseView);

// lit = plane normal . light + d > 0 for every face.
void markLitFaces(std::vector<ShadowFace>& faces, const Vec3f& light);

struct ShadowQuad {
    Vec3f corner[4];
};

// For each lit face and each edge whose neighbour is not lit: the quad b, a,
// a + 20 normalize(a - light), b + 20 normalize(b - light), where a and b are
// the points of the edge's two slots. Edges without a neighbour, or with a
// point outside the list, give none. `quads` is cleared and refilled.
void buildSilhouetteQuads(const std::vector<ShadowFace>& faces, const std::vector<Vec3f>& points,
                          const Vec3f& light, std::vector<ShadowQuad>& quads);

// What the stencil pass draws, supplied by the model pass.
class ShadowedWorld {
public:
    virtual ~ShadowedWorld() = default;
    // Terrain and models under the current light; also records the casters.
    virtual void drawWorld() = 0;
    // Every caster's volume (drawShadowVolume for each).
    virtual void drawShadowVolumes() = 0;
};

// GL half. The model pass's state sequence: the world dimly lit, the volumes
// counted into the stencil buffer (front faces up, back faces down), then the
// world brightly lit where the count is 0. All attributes are restored.
void drawStencilShadowPass(ShadowedWorld& world);

// GL half: loads the caster's recorded matrix as the model-view matrix (the
// caller pushes and pops around its casters), finds the silhouette from the
// light and draws the quads. `scratch` keeps its capacity between calls.
void drawShadowVolume(const ShadowCaster& caster, const Mat4x4f& inverseView, std::vector<ShadowQuad>& scratch);

}  // namespace xmo
