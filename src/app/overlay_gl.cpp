#include <GL/gl.h>

#include "app/overlay.h"
#include "effects/screen_overlay.h"

namespace xmo {

void drawOverlay(const Overlay& overlay, int screenWidth, int screenHeight) {
    if (overlay.empty()) return;
    // y downwards, as the layout counts it.
    beginScreenOverlay(0.0, screenWidth, screenHeight, 0.0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_ALPHA_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    for (const OverlayRect& shape : overlay) {
        const PixelRect& r = shape.rect;
        glColor4f(shape.colour.r, shape.colour.g, shape.colour.b, shape.colour.a);
        glVertex2i(r.x, r.y);
        glVertex2i(r.x + r.width, r.y);
        glVertex2i(r.x + r.width, r.y + r.height);
        glVertex2i(r.x, r.y + r.height);
    }
    glEnd();
    endScreenOverlay();
}

}  // namespace xmo
