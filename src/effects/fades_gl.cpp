#include <GL/gl.h>

#include "effects/fades.h"
#include "effects/screen_overlay.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// The orthographic square that the quad fills, in both directions.
constexpr double kHalfExtent = 10.0;

void drawFadeQuad(const FadeColour& colour) {
    beginScreenOverlay(-kHalfExtent, kHalfExtent, -kHalfExtent, kHalfExtent);
    // The colour is premultiplied: picture = grey + picture * (1 - alpha).
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glColor4f(colour.grey, colour.grey, colour.grey, colour.alpha);
    const float e = static_cast<float>(kHalfExtent);
    glBegin(GL_QUADS);
    glVertex3f(-e, -e, 0.0f);
    glVertex3f(e, -e, 0.0f);
    glVertex3f(e, e, 0.0f);
    glVertex3f(-e, e, 0.0f);
    glEnd();
    endScreenOverlay();
}

}  // namespace

void drawFades(const std::vector<std::unique_ptr<SpecialEffect>>& fades, float t) {
    for (const auto& fade : fades)
        if (const auto colour = fadeColour(*fade, t)) drawFadeQuad(*colour);
}

}  // namespace xmo
