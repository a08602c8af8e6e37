#include "scene/model_pass.h"

#include "terrain/terrain.h"

namespace xmo {

// One fully lit pass until the stencil shadow pass takes over with its dim
// and bright passes around the shadow volumes.
void drawModelPass(Movie& movie, Terrain& terrain, RendererState& renderer, std::ostream& console) {
    terrain.draw();
    drawAllModels(movie, renderer, console);
}

}  // namespace xmo
