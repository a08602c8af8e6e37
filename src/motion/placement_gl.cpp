#include <GL/gl.h>

#include "motion/placement.h"
#include "scene/renderer_state.h"

namespace xmo {

namespace {

void multiply(const Mat4x4f& m) {
    float f[16];
    m.toFloats(f);
    glMultMatrixf(f);
}

}  // namespace

void Model::draw(RendererState& renderer) {
    if (!enabled || !object) return;
    renderer.casterList.clear();
    glPushMatrix();
    multiply(placement);
    object->draw(renderer);
    glPopMatrix();
    if (castshadow) casters = renderer.casterList;
}

void ModelTransform::draw(RendererState& renderer) {
    if (!enabled) return;
    glPushMatrix();
    multiply(transformPlacement(*this));
    for (const auto& child : children) child->draw(renderer);
    glPopMatrix();
}

}  // namespace xmo
