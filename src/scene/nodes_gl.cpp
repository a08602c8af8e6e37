#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "scene/mesh_geometry.h"
#include "scene/nodes.h"
#include "scene/renderer_state.h"

namespace xmo {

static_assert(GL_LIGHT0 == kGlLight0, "light enumerants are counted from GL_LIGHT0");

namespace {

// Emits the face-set walk as OpenGL polygons (inside a display list).
struct PolygonEmitter {
    void beginPolygon() { glBegin(GL_POLYGON); }
    void endPolygon() { glEnd(); }
    void texCoord(const Vec2f& t) { glTexCoord2f(t.e[0], t.e[1]); }
    void color(const Vec3f& c) { glColor3f(c.e[0], c.e[1], c.e[2]); }
    void normal(const Vec3f& n) { glNormal3f(n.e[0], n.e[1], n.e[2]); }
    void vertex(const Vec3f& p) { glVertex3f(p.e[0], p.e[1], p.e[2]); }
};

}  // namespace

void enableSceneLights(const LightCounter& lights) {
    for (unsigned enumerant : lights.toEnable) glEnable(enumerant);
}

void recordShadowCaster(RendererState& renderer, IndexedFaceSet* mesh) {
    ShadowCaster caster;
    caster.mesh = mesh;
    glGetFloatv(GL_MODELVIEW_MATRIX, caster.matrix);
    renderer.casterList.push_back(caster);
}

IndexedFaceSet::~IndexedFaceSet() {
    if (displayList != 0) glDeleteLists(displayList, 1);
}

void IndexedFaceSet::draw(RendererState& renderer) {
    if (!finished) return;
    if (compilePending) {
        // Compiled on its first draw and shown by that draw too, so a mesh
        // looks the same in a frame whether or not earlier frames drew it.
        compilePending = false;
        displayList = glGenLists(1);
        glNewList(displayList, GL_COMPILE);
        // Corner colours stand in for the material's diffuse (and ambient)
        // colour, inside the list only: the material and the current colour
        // are back as they were once it has run.
        if (color) {
            glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_LIGHTING_BIT);
            glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
            glEnable(GL_COLOR_MATERIAL);
        }
        PolygonEmitter emitter;
        walkFaceSet(*this, emitter);
        if (color) glPopAttrib();
        glEndList();
    }
    glCallList(displayList);
    recordShadowCaster(renderer, this);
}

void ShadowOnlyMesh::draw(RendererState& renderer) {
    if (finished) recordShadowCaster(renderer, this);
}

void Group::draw(RendererState& renderer) {
    for (const auto& child : children) child->draw(renderer);
}

void Transform::draw(RendererState& renderer) {
    // Translation and rotation are held for the file's sake; only the scale
    // is applied.
    glPushMatrix();
    glScalef(scale.e[0], scale.e[1], scale.e[2]);
    Group::draw(renderer);
    glPopMatrix();
}

void Material::draw(RendererState&) {
    computeColours();
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SHININESS, &shininess);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emissive);
}

void Appearance::draw(RendererState& renderer) {
    if (texture) glBindTexture(GL_TEXTURE_2D, texture->textureName);
    if (material) material->draw(renderer);
}

void Shape::draw(RendererState& renderer) {
    // Texturing is switched on only for a texture that was made, and only
    // around this shape: the sky's replace mode and everything drawn after
    // the shape keep their own texture state.
    const bool textured = appearance && appearance->texture && appearance->texture->textureName != 0;
    if (textured) {
        glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    }
    if (appearance) appearance->draw(renderer);
    if (geometry) geometry->draw(renderer);
    if (textured) glPopAttrib();
}

void PointLight::draw(RendererState&) {
    const float diffuse[4] = {color.e[0], color.e[1], color.e[2], 1.0f};
    // The position is in the eye's space already.
    glPushMatrix();
    glLoadIdentity();
    const float position[4] = {eyePosition.e[0], eyePosition.e[1], eyePosition.e[2], 1.0f};
    const float ambient[4] = {ambientIntensity * color.e[0], ambientIntensity * color.e[1],
                              ambientIntensity * color.e[2], 1.0f};
    glLightfv(lightId, GL_AMBIENT, ambient);
    glLightfv(lightId, GL_DIFFUSE, diffuse);
    glLightfv(lightId, GL_SPECULAR, diffuse);
    glLightfv(lightId, GL_POSITION, position);
    glLightf(lightId, GL_CONSTANT_ATTENUATION, attenuation.e[0]);
    glLightf(lightId, GL_LINEAR_ATTENUATION, attenuation.e[1]);
    glLightf(lightId, GL_QUADRATIC_ATTENUATION, attenuation.e[2]);
    glPopMatrix();
}

void Scene::draw(RendererState& renderer) {
    if (defaultMaterial) defaultMaterial->draw(renderer);
    if (lights && lights->light && renderer.settingSceneLights) {
        const std::vector<PointLight*>& placed = renderer.lights.placedThisFrame;
        if (std::find(placed.begin(), placed.end(), lights->light.get()) != placed.end()) lights->light->draw(renderer);
    }
    if (!viewpoints.empty()) {
        const Viewpoint& view = *viewpoints.front();
        const Vec3f& eye = view.position;
        const Vec3f centre = eye + view.orientation.rotate(Vec3f{0.0f, 0.0f, 1.0f});
        gluLookAt(eye.e[0], eye.e[1], eye.e[2], centre.e[0], centre.e[1], centre.e[2], 0.0, 1.0, 0.0);
    }
    Group::draw(renderer);
}

}  // namespace xmo
