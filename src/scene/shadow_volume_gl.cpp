#include <GL/gl.h>

#include "scene/shadow_volume.h"

namespace xmo {

namespace {

constexpr float kDimLight[4] = {0.1f, 0.1f, 0.1f, 0.5f};
constexpr float kBrightLight[4] = {1.0f, 1.0f, 1.0f, 0.5f};

void setLight0(const float colour[4]) {
    glLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
    glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
}

}  // namespace

void drawStencilShadowPass(ShadowedWorld& world) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glDisable(GL_STENCIL_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    setLight0(kDimLight);
    world.drawWorld();

    setLight0(kBrightLight);
    glDisable(GL_LIGHTING);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthMask(GL_FALSE);
    glClear(GL_STENCIL_BUFFER_BIT);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 1, ~0u);

    // Only volume faces in front of the dimly drawn surfaces pass the depth
    // test: front faces count up, back faces down, so a pixel ends above 0
    // exactly when it lies inside a volume.
    glStencilOp(GL_KEEP, GL_KEEP, GL_INCR);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    world.drawShadowVolumes();
    glStencilOp(GL_KEEP, GL_KEEP, GL_DECR);
    glCullFace(GL_FRONT);
    world.drawShadowVolumes();

    glStencilFunc(GL_EQUAL, 0, ~0u);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glEnable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    world.drawWorld();
    glPopAttrib();
}

void drawShadowVolume(const ShadowCaster& caster, const Mat4x4f& inverseView, std::vector<ShadowQuad>& scratch) {
    if (!caster.mesh || !caster.mesh->coord) return;
    IndexedFaceSet& mesh = *caster.mesh;
    const Vec3f light = lightInMeshSpace(caster.matrix, inverseView);
    markLitFaces(mesh.shadowFaces, light);
    buildSilhouetteQuads(mesh.shadowFaces, mesh.coord->point, light, scratch);
    glLoadMatrixf(caster.matrix);
    glBegin(GL_QUADS);
    for (const ShadowQuad& quad : scratch)
        for (const Vec3f& p : quad.corner) glVertex3f(p.e[0], p.e[1], p.e[2]);
    glEnd();
}

}  // namespace xmo
