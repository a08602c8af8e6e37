#include <GL/gl.h>

#include "terrain/sky.h"
#include "terrain/sky_window.h"

namespace xmo {

void drawSky(const SkyTexture& sky, Vec3f eye, Vec3f lookAt, float fieldOfViewX, float fieldOfViewY) {
    const SkyCorners corners = buildSkyCorners(computeSkyWindow(eye, lookAt, fieldOfViewX, fieldOfViewY));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-1.0, 1.0, -1.0, 1.0, -10.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, sky.texture.name);

    // Without a picture the polygon would show in the lit grey of the
    // global ambient light; the clear colour shows instead.
    if (sky.texture.width > 0 && sky.texture.height > 0) {
        glBegin(GL_POLYGON);
        for (int i = 0; i < 4; ++i) {
            glTexCoord2f(corners.texCoord[i].e[0], corners.texCoord[i].e[1]);
            glVertex3f(corners.vertex[i].e[0], corners.vertex[i].e[1], corners.vertex[i].e[2]);
        }
        glEnd();
    }

    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace xmo
