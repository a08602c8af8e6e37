#include "movie/movie.h"
#include "scene/model_pass.h"

namespace xmo {

void drawAllModels(Movie& movie, RendererState& renderer) {
    for (const auto& entry : movie.models) entry->draw(renderer);
}

}  // namespace xmo
