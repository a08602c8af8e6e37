#include <GL/gl.h>
#include <GL/glu.h>

#include "app/player.h"
#include "app/timeline.h"
#include "effects/captions.h"
#include "effects/fades.h"
#include "effects/particles.h"
#include "effects/sound.h"
#include "effects/tiles.h"
#include "effects/timed_commands.h"
#include "motion/animation.h"
#include "motion/camera.h"
#include "scene/model_pass.h"
#include "terrain/sky.h"

namespace xmo {

namespace {

// Particles advance by half the real frame time, as physics does (see
// stepPhysicsForFrame); everything else follows the clock.
constexpr float kParticleTimeScale = 0.5f;

}  // namespace

void applyView(Player& p) {
    glLoadIdentity();
    // The camera's up vector is (0, 0, 1); handing its second and third
    // components over exchanged makes the view's up direction +Y.
    gluLookAt(p.eyePoint[0], p.eyePoint[1], p.eyePoint[2], p.lookAtPoint[0], p.lookAtPoint[1], p.lookAtPoint[2],
              p.upVector[0], p.upVector[2], p.upVector[1]);

    float modelView[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
    try {
        p.inverseView = invertAffine(Mat4x4f(modelView));
    } catch (const Mat4x4fException&) {
        // A degenerate camera (eye on its look-at point, or no camera yet)
        // has no view to invert; the previous inverse stays in force.
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) p.billboardMatrix[4 * i + j] = p.inverseView[i][j];
    p.billboardMatrix[12] = p.billboardMatrix[13] = p.billboardMatrix[14] = 0.0f;
}

void renderFrame(Player& p) {
    Movie& movie = *p.currentMovie;

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    p.movieClock.update();
    stepPhysicsForFrame(p.physics, p.movieClock.frameTime());
    const float t = p.movieClock.filmTime();

    const SequenceAt current = findSequence(movie.sequences, t);
    Sequence& sequence = *current.sequence;
    const float local = current.localTime;

    // Commands run before the camera moves, so they see last frame's view.
    runTimedCommands(movie, sequence, p.inverseView, local, p.physics, p.quitCode);
    evaluateCamera(*sequence.camera, local, p.cameraCache, p.eyePoint, p.lookAtPoint, p.upVector);
    drawSky(p.sky, p.eyePoint, p.lookAtPoint, p.fieldOfViewX, p.fieldOfViewY);
    applyView(p);
    applyAnimations(sequence.animations, local, p.animationScratch, p.console);
    drawModelPass(movie, p.terrain, p.inverseView, p.renderer, p.console);

    const float halfFrame = p.movieClock.frameTime() * kParticleTimeScale;
    updateParticles(sequence.particles, halfFrame);
    drawParticles(p.particleTexture, sequence.particles, sequence.spentParticles, p.billboardMatrix, local, p.eyePoint,
                  p.lookAtPoint);
    updateSound(p.sound, movie.sounds, t);  // music alone runs on film time
    drawTextChunks(p.captions, sequence.textChunks, local);
    drawTiles(sequence.tiles, local);
    drawFades(sequence.specialEffects, local);  // last: a fade covers everything

    glFlush();
    if (p.swapBuffers) p.swapBuffers();
}

}  // namespace xmo
