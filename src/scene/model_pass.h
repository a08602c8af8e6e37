// The model pass of a frame: terrain and models, lit, with stencil shadows.
//
// The world is drawn twice (scene/shadow_volume.h has the state sequence):
// dimly lit, which also records every model's casters, then brightly lit
// outside the shadow volumes that those casters extrude from the light.
// Each model draws with the placement the frame's advance gave it
// (placeModels in motion/placement.h), so drawing changes no model.
#pragma once

#include <memory>
#include <vector>

#include "math/mat4.h"

namespace xmo {

struct Movie;
struct RendererState;
struct Terrain;
class BaseModel;

// Draws every model of the movie in list order.
void drawAllModels(Movie& movie, RendererState& renderer);

// The shadow volumes of a list of models (the movie's, or a transform's
// children): a disabled model casts nothing, and a disabled ModelTransform
// hides the shadows of every model under it.
void drawShadowVolumes(const std::vector<std::unique_ptr<BaseModel>>& models, const Mat4x4f& inverseView,
                       RendererState& renderer);

// The frame's model pass. inverseView is the inverse of this frame's view.
void drawModelPass(Movie& movie, Terrain& terrain, const Mat4x4f& inverseView, RendererState& renderer);

}  // namespace xmo
