#include "movie/movie.h"
#include "scene/model_pass.h"

namespace xmo {

void drawAllModels(Movie& movie, RendererState& renderer, std::ostream& console) {
    for (const auto& entry : movie.models) {
        if (auto* model = dynamic_cast<Model*>(entry.get()); model && !model->object) {
            console << "Object " << model->id << " does not exist\n";
            continue;
        }
        entry->draw(renderer);
    }
}

}  // namespace xmo
