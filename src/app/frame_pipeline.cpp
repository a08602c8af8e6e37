#include "app/player.h"
#include "app/timeline.h"
#include "effects/caption_pass.h"
#include "effects/particles.h"
#include "effects/sound.h"
#include "effects/timed_commands.h"
#include "motion/animation.h"
#include "motion/camera.h"
#include "motion/placement.h"

namespace xmo {

namespace {

// Particles advance by half the real frame time, as physics does (see
// stepPhysicsForFrame); everything else follows the clock.
constexpr float kParticleTimeScale = 0.5f;

}  // namespace

void updateView(Player& p) {
    // The camera's up vector is (0, 0, 1); its second and third components
    // exchanged make the view's up direction +Y.
    p.view = lookAt(p.eyePoint, p.lookAtPoint, Vec3f{p.upVector[0], p.upVector[2], p.upVector[1]});
    try {
        p.inverseView = invertAffine(p.view);
    } catch (const Mat4x4fException&) {
        // A degenerate camera (eye on its look-at point, or no camera yet)
        // has no view to invert; the previous inverse stays in force.
    }
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) p.billboardMatrix[4 * i + j] = p.inverseView[i][j];
    p.billboardMatrix[12] = p.billboardMatrix[13] = p.billboardMatrix[14] = 0.0f;
}

void advanceFrame(Player& p) {
    Movie& movie = *p.currentMovie;

    p.movieClock.update();
    stepPhysicsForFrame(*p.physics, p.movieClock.frameTime());
    p.filmTime = p.movieClock.filmTime();

    const SequenceAt current = findSequence(movie.sequences, p.filmTime);
    p.sequence = current.sequence;
    p.localTime = current.localTime;
    Sequence& sequence = *p.sequence;
    const float local = p.localTime;

    // Commands run before the camera moves, so they see last frame's view.
    runTimedCommands(movie, sequence, p.inverseView, local, *p.physics, p.quitCode);
    evaluateCamera(*sequence.camera, local, p.cameraCache, p.eyePoint, p.lookAtPoint, p.upVector);
    updateView(p);
    applyAnimations(sequence.animations, local, p.animationScratch, p.console);
    placeModels(movie, p.view, p.renderer.lights, p.console);

    updateParticles(sequence.particles, p.movieClock.frameTime() * kParticleTimeScale);
    advanceParticles(sequence.particles, sequence.spentParticles, local, p.eyePoint, p.lookAtPoint);
    updateSound(p.sound, movie.sounds, p.filmTime);  // music alone runs on film time

    p.captionPenAtFrameStart = p.captionPen;
    walkTextChunks(sequence.textChunks, local, p.captionPen, p.captions.latin1);
}

void renderFrame(Player& p) {
    advanceFrame(p);
    drawFrame(p);
}

}  // namespace xmo
