#include <GL/gl.h>

#include "terrain/terrain.h"

namespace xmo {

namespace {

void compileTerrain(const Terrain& terrain) {
    const TerrainGrid& grid = terrain.grid;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, terrain.texture.name);
    // With the default black environment colour the ground shows the lit
    // colour times one minus the texture colour.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glPushMatrix();
    glTranslatef(grid.originX, 0.0f, grid.originZ);
    const float emission[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    const float diffuse[4] = {0.75f, 0.75f, 0.75f, 1.0f};
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    // Ambient and specular as OpenGL starts them: left as they were, they
    // would be those of the model drawn last, and the brightly lit ground
    // would shine in that model's colour.
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    const float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glBegin(GL_TRIANGLES);
    for (const TerrainTriangle& t : terrain.triangles)
        for (int i = 0; i < 3; ++i) {
            const Vec2f uv = terrainTexCoord(grid, t.vertex[i]);
            glTexCoord2f(uv.e[0], uv.e[1]);
            glNormal3f(-t.normal[i].e[0], -t.normal[i].e[1], -t.normal[i].e[2]);
            glVertex3f(t.vertex[i].e[0], t.vertex[i].e[1], t.vertex[i].e[2]);
        }
    glEnd();
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

}  // namespace

void Terrain::draw() {
    // Compiled on the first draw, which shows it too: a frame looks the same
    // whether or not earlier frames were drawn.
    if (compilePending) {
        compilePending = false;
        displayList = glGenLists(1);
        glNewList(displayList, GL_COMPILE);
        compileTerrain(*this);
        glEndList();
    }
    glCallList(displayList);
}

}  // namespace xmo
