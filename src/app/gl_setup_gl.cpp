#include "app/gl_setup.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace xmo {

FieldOfView reshape(int width, int height) { return reshapeInto(0, 0, width, height); }

FieldOfView reshapeInto(int x, int y, int width, int height) {
    glViewport(x, y, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double aspect = static_cast<double>(width) / static_cast<double>(height);
    gluPerspective(60.0, aspect, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);

    FieldOfView fov;
    fov.y = 1.0471976f;
    fov.x = static_cast<float>(60.0 * aspect / 180.0 * 3.141592653589793);
    return fov;
}

FieldOfView initGL(int width, int height) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    return reshape(width, height);
}

}  // namespace xmo
