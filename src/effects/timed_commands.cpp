#include "effects/timed_commands.h"

#include "effects/particles.h"
#include "movie/movie.h"
#include "physics/physics_world.h"

namespace xmo {

namespace {

constexpr float kSpawnedFadeTime = 4.0f;

void setTargetsEnabled(const XFunction& command, bool value) {
    for (Model* model : command.targets)
        if (model) model->setEnabled(value);
}

void setTargetsAnimatePhysics(const XFunction& command, bool value) {
    for (Model* model : command.targets)
        if (model) model->animatephysics = value;
}

// The effect starts where the model's origin was drawn in the previous frame;
// a model that was never drawn has no such place, and nothing is spawned.
void spawnParticles(const XFunction& command, Sequence& sequence, const Mat4x4f& inverseView) {
    const Model* model = command.model;
    if (!model || !model->drawnWithFunction) return;
    const Mat4x4f world = Mat4x4f(model->lastModelView) * inverseView;
    Particle& particle = addParticle(sequence.particles, sequence.spentParticles);
    particle.type = "fade";
    particle.particleType = ParticleType::Fade;
    particle.fadetime = kSpawnedFadeTime;
    particle.position = Vec3f{world[3][0], world[3][1], world[3][2]};
}

// Acts on one command; true when it is a one-shot command now done.
bool runCommand(const XFunction& command, Movie& movie, Sequence& sequence, const Mat4x4f& inverseView,
                PhysicsWorld& physics, int& quitCode) {
    switch (command.commandType) {
    case CommandType::CreateParticles:
        spawnParticles(command, sequence, inverseView);
        return false;
    case CommandType::DisableModels:
        setTargetsEnabled(command, false);
        return true;
    case CommandType::EnableModels:
        setTargetsEnabled(command, true);
        // Contacts with a model that was disabled until now take effect only now.
        physics.applyContacts(movie);
        physics.refreshCollisionSpace();
        return true;
    case CommandType::DisableAnimatePhysics:
        setTargetsAnimatePhysics(command, false);
        return true;
    case CommandType::EnableAnimatePhysics:
        setTargetsAnimatePhysics(command, true);
        return true;
    case CommandType::Exit:
        quitCode = 2;
        return false;
    case CommandType::Unknown: break;
    }
    return false;
}

}  // namespace

void runTimedCommands(Movie& movie, Sequence& sequence, const Mat4x4f& inverseView, float localTime,
                      PhysicsWorld& physics, int& quitCode) {
    for (const auto& command : sequence.xfunctions) {
        if (command->lastTime + command->timer1 > localTime || command->done) continue;
        // Measured from this frame, so a repeating command does not catch up
        // on intervals it missed.
        command->lastTime = localTime;
        if (runCommand(*command, movie, sequence, inverseView, physics, quitCode)) command->done = true;
    }
}

}  // namespace xmo
