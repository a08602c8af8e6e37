#include <GL/gl.h>

#include "app/key_overlay.h"
#include "effects/screen_overlay.h"

namespace xmo {

namespace {

void emitRect(const PixelRect& r) {
    glVertex2i(r.x, r.y);
    glVertex2i(r.x + r.width, r.y);
    glVertex2i(r.x + r.width, r.y + r.height);
    glVertex2i(r.x, r.y + r.height);
}

}  // namespace

void drawKeyOverlay(const KeyOverlay& overlay, int screenWidth, int screenHeight) {
    // y downwards, as the layout counts it.
    beginScreenOverlay(0.0, screenWidth, screenHeight, 0.0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    glBegin(GL_QUADS);
    glColor4f(0.0f, 0.0f, 0.0f, 0.7f);
    emitRect(overlay.band);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    for (const PixelRect& r : overlay.letters) emitRect(r);
    glEnd();
    endScreenOverlay();
}

}  // namespace xmo
