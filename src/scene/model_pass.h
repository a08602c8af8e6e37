// The model pass of a frame: terrain and models, lit, with stencil shadows.
//
// The world is drawn twice (scene/shadow_volume.h has the state sequence):
// dimly lit, which also records every model's casters, then brightly lit
// outside the shadow volumes that those casters extrude from the light.
// So every model draws twice per frame, and a model without an object says
// so twice per frame.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "math/mat4.h"

namespace xmo {

struct Movie;
struct RendererState;
struct Terrain;
class BaseModel;

// Draws every model of the movie in list order; a top-level model without an
// object writes "Object <id> does not exist" to console instead.
void drawAllModels(Movie& movie, RendererState& renderer, std::ostream& console);

// The shadow volumes of a list of models (the movie's, or a transform's
// children): a disabled model casts nothing, and a disabled ModelTransform
// hides the shadows of every model under it.
void drawShadowVolumes(const std::vector<std::unique_ptr<BaseModel>>& models, const Mat4x4f& inverseView,
                       RendererState& renderer);

// The frame's model pass. inverseView is the inverse of this frame's view.
void drawModelPass(Movie& movie, Terrain& terrain, const Mat4x4f& inverseView, RendererState& renderer,
                   std::ostream& console);

}  // namespace xmo
