#include "scene/shadow_casters.h"

#include "movie/movie.h"

namespace xmo {

namespace {

void appendCasters(const std::vector<std::unique_ptr<BaseModel>>& models, std::vector<const ShadowCaster*>& casters) {
    for (const auto& entry : models) {
        if (!entry->enabled) continue;
        if (const auto* model = dynamic_cast<const Model*>(entry.get())) {
            if (!model->castshadow) continue;
            for (const ShadowCaster& caster : model->casters)
                if (caster.mesh) casters.push_back(&caster);
        } else if (const auto* transform = dynamic_cast<const ModelTransform*>(entry.get())) {
            appendCasters(transform->children, casters);
        }
    }
}

}  // namespace

void collectShadowCasters(const std::vector<std::unique_ptr<BaseModel>>& models,
                          std::vector<const ShadowCaster*>& casters) {
    casters.clear();
    appendCasters(models, casters);
}

}  // namespace xmo
