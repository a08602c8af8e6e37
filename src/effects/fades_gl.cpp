#include <GL/gl.h>
#include <GL/glu.h>

#include "effects/fades.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// The orthographic square that the quad fills, in both directions.
constexpr double kHalfExtent = 10.0;

void drawFadeQuad(const FadeColour& colour) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(-kHalfExtent, kHalfExtent, -kHalfExtent, kHalfExtent);
    // Nothing after the fades uses the modelview matrix and the next frame
    // loads its own, so it is not saved.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    // The colour is premultiplied: picture = grey + picture * (1 - alpha).
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glColor4f(colour.grey, colour.grey, colour.grey, colour.alpha);
    const float e = static_cast<float>(kHalfExtent);
    glBegin(GL_QUADS);
    glVertex3f(-e, -e, 0.0f);
    glVertex3f(e, -e, 0.0f);
    glVertex3f(e, e, 0.0f);
    glVertex3f(-e, e, 0.0f);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace

void drawFades(const std::vector<std::unique_ptr<SpecialEffect>>& fades, float t) {
    for (const auto& fade : fades)
        if (const auto colour = fadeColour(*fade, t)) drawFadeQuad(*colour);
}

}  // namespace xmo
