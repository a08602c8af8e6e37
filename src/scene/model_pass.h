// The model pass of a frame: terrain and models, lit, with stencil shadows.
#pragma once

#include <ostream>

namespace xmo {

struct Movie;
struct RendererState;
struct Terrain;

// Draws every model of the movie in list order; a top-level model without an
// object writes "Object <id> does not exist" to console instead.
void drawAllModels(Movie& movie, RendererState& renderer, std::ostream& console);

// The frame's model pass.
void drawModelPass(Movie& movie, Terrain& terrain, RendererState& renderer, std::ostream& console);

}  // namespace xmo
