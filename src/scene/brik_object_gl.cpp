#include <GL/gl.h>

#include "movie/movie.h"
#include "scene/brick_geometry.h"
#include "scene/renderer_state.h"

namespace xmo {

namespace {

void emitVertex(const Vec3f& p) { glVertex3f(p.e[0], p.e[1], p.e[2]); }
void emitNormal(const Vec3f& n) { glNormal3f(n.e[0], n.e[1], n.e[2]); }

}  // namespace

void BrikObject::build(RendererState& renderer) {
    if (built) return;
    const BrickGeometry geometry = buildBrickGeometry(size);
    const BrickColour colour = brickColour(color);

    displayList = glGenLists(1);
    glNewList(displayList, GL_COMPILE);

    Material material;
    material.diffuseColor = colour.diffuse;
    material.ambientIntensity = 0.0f;
    material.specularColor = colour.specular;
    material.shininess = 1.0f;
    material.draw(renderer);

    for (const Stud& stud : geometry.studs) {
        glBegin(GL_QUAD_STRIP);
        for (std::size_t v = 0; v < stud.side.size(); ++v) {
            emitNormal(stud.sideNormal[v]);
            emitVertex(stud.side[v]);
        }
        glEnd();
        glBegin(GL_POLYGON);
        glNormal3f(0.0f, -1.0f, 0.0f);
        for (const Vec3f& p : stud.cap) emitVertex(p);
        glEnd();
    }

    glBegin(GL_QUADS);
    for (const BrickQuad& quad : geometry.boxQuads) {
        emitNormal(quad.normal);
        for (const Vec3f& p : quad.corner) emitVertex(p);
    }
    glEnd();
    glEndList();

    // The box again as a mesh, for the shadow pass only: studs cast no shadow.
    mesh = std::make_unique<IndexedFaceSet>();
    mesh->coord = std::make_unique<Coordinate>();
    mesh->coord->point.assign(geometry.boxCorners.begin(), geometry.boxCorners.end());
    mesh->coordIndex = geometry.boxIndex;
    mesh->castshadow = true;
    mesh->finish();
    built = true;
}

BrikObject::~BrikObject() {
    if (displayList != 0) glDeleteLists(displayList, 1);
}

void BrikObject::draw(RendererState& renderer) {
    build(renderer);
    glCallList(displayList);
    recordShadowCaster(renderer, mesh.get());
}

void Object::draw(RendererState& renderer) {
    if (root) root->draw(renderer);
}

}  // namespace xmo
