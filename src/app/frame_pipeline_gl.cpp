#include <GL/gl.h>

#include "app/player.h"
#include "effects/captions.h"
#include "effects/fades.h"
#include "effects/particles.h"
#include "effects/tiles.h"
#include "scene/model_pass.h"
#include "terrain/sky.h"

namespace xmo {

void drawFrame(Player& p) {
    Movie& movie = *p.currentMovie;
    Sequence& sequence = *p.sequence;
    const float local = p.localTime;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawSky(p.sky, p.eyePoint, p.lookAtPoint, p.fieldOfViewX, p.fieldOfViewY);
    float view[16];
    p.view.toFloats(view);
    glLoadMatrixf(view);
    drawModelPass(movie, p.terrain, p.inverseView, p.renderer);
    drawParticles(p.particleTexture, sequence.particles, p.billboardMatrix, local);
    drawTextChunks(p.captions, sequence.textChunks, local, p.captionPenAtFrameStart);
    drawTiles(sequence.tiles, local);
    drawFades(sequence.specialEffects, local);  // last: a fade covers everything

    glFlush();
    if (p.swapBuffers) p.swapBuffers();
}

}  // namespace xmo
