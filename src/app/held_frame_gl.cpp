#include <GL/gl.h>

#include "app/held_frame.h"
#include "effects/screen_overlay.h"

namespace xmo {

void HeldFrame::keep(int width, int height) {
    width_ = width;
    height_ = height;
    pixels_.resize(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
}

void HeldFrame::draw() const {
    if (pixels_.empty()) return;
    // Pixels drawn go through every per-fragment stage: only the copy is
    // wanted, so texturing, tests and blending are off while it is made.
    beginScreenOverlay(-1.0, 1.0, -1.0, 1.0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_FOG);
    // (-1, -1) is the bottom left corner of the viewport.
    glRasterPos2f(-1.0f, -1.0f);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glDrawPixels(width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    endScreenOverlay();
}

}  // namespace xmo
