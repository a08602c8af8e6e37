#include <GL/gl.h>

#include "movie/movie.h"
#include "scene/model_pass.h"
#include "scene/renderer_state.h"
#include "terrain/terrain.h"

namespace xmo {

namespace {

class ModelPassWorld : public ShadowedWorld {
public:
    ModelPassWorld(Movie& movie, Terrain& terrain, const Mat4x4f& inverseView, RendererState& renderer)
        : movie_(movie), terrain_(terrain), inverseView_(inverseView), renderer_(renderer) {}

    void drawWorld() override {
        renderer_.settingSceneLights = isFirstWorld_;
        isFirstWorld_ = false;
        terrain_.draw();
        drawAllModels(movie_, renderer_);
        renderer_.settingSceneLights = false;
    }
    void drawShadowVolumes() override { xmo::drawShadowVolumes(movie_.models, inverseView_, renderer_); }

private:
    Movie& movie_;
    Terrain& terrain_;
    const Mat4x4f& inverseView_;
    RendererState& renderer_;
    bool isFirstWorld_ = true;  // the dimly lit one
};

}  // namespace

void Model::drawShadow(const Mat4x4f& inverseView, RendererState& renderer) const {
    if (!castshadow) return;
    // Each volume loads its caster's recorded matrix.
    glPushMatrix();
    for (const ShadowCaster& caster : casters) drawShadowVolume(caster, inverseView, renderer.shadowQuads);
    glPopMatrix();
}

void drawShadowVolumes(const std::vector<std::unique_ptr<BaseModel>>& models, const Mat4x4f& inverseView,
                       RendererState& renderer) {
    for (const auto& entry : models) {
        if (!entry->enabled) continue;
        if (const auto* model = dynamic_cast<const Model*>(entry.get()))
            model->drawShadow(inverseView, renderer);
        else if (const auto* transform = dynamic_cast<const ModelTransform*>(entry.get()))
            drawShadowVolumes(transform->children, inverseView, renderer);
    }
}

void drawModelPass(Movie& movie, Terrain& terrain, const Mat4x4f& inverseView, RendererState& renderer) {
    ModelPassWorld world(movie, terrain, inverseView, renderer);
    drawStencilShadowPass(world);
}

}  // namespace xmo
