#include "scene/model_pass.h"

namespace xmo {

// One fully lit pass until the stencil shadow pass takes over with its dim
// and bright passes around the shadow volumes.
void drawModelPass(Movie& movie, std::ostream& console) { drawAllModels(movie, console); }

}  // namespace xmo
