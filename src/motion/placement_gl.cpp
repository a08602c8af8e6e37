#include <GL/gl.h>

#include "motion/placement.h"
#include "physics/physics_world.h"
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

    // Without a body (physics null) the model is placed by its own pose.
    const bool ownBody = physics && physicalbased && !relativeModel;
    if (ownBody && animatephysics) {
        centreOffset = Vec3f{};
        physics->setBodyOrientation(bodyIndex, rotation);
        physics->setBodyPosition(bodyIndex, position);
        physics->setBodyLinearVelocity(bodyIndex, Vec3f{});
        physics->setBodyAngularVelocity(bodyIndex, Vec3f{});
    }
    if (physics && physicalbased && relativeModel) {
        multiply(partWorld);
        glTranslatef(-centreOffset.e[0], -centreOffset.e[1], -centreOffset.e[2]);
    } else if (ownBody) {
        position = physics->bodyPosition(bodyIndex);
        float body[16];
        physics->bodyMatrix(bodyIndex, body);
        glMultMatrixf(body);
        glTranslatef(-centreOffset.e[0], -centreOffset.e[1], -centreOffset.e[2]);
    } else {
        multiply(modelPlacement(*this));
    }

    object->draw(renderer);
    if (!function.empty()) {
        glGetFloatv(GL_MODELVIEW_MATRIX, lastModelView);
        drawnWithFunction = true;
    }
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
