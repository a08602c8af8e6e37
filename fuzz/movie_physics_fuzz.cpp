// Fuzzes the physics world with whole films: the movie is loaded into a world
// with rigid-body dynamics, every model is enabled, and a second of frames is
// played as the player plays the first sequence: the world's steps, the timed
// commands, the animations handing force keys to the bodies, and the physics
// half of drawing every model (the hand-over of animatephysics). No film may
// crash the simulation or hang it.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "effects/timed_commands.h"
#include "motion/animation.h"
#include "motion/placement.h"
#include "movie/movie_loader.h"
#include "physics/ode_world.h"
#include "scene/renderer_state.h"

namespace {

constexpr int kFrames = 25;
constexpr float kFrameTime = 0.04f;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    xmo::NoMediaLoader media;
    xmo::OdeWorld physics;
    physics.createGroundPlane();
    xmo::LightCounter lights;
    xmo::ModelTextures textures;
    xmo::Diagnostics diagnostics;
    std::ostream discard(nullptr);
    xmo::LoadServices services{media, physics, lights, textures, discard, discard, diagnostics, discard};
    std::unique_ptr<xmo::Movie> movie;
    try {
        movie = xmo::loadMovieFromText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.xmo",
                                       services);
    } catch (const xmo::LoadError&) {
        return 0;
    }
    xmo::forEachModel(movie->models, [](xmo::BaseModel& m) { m.setEnabled(true); });
    physics.applyContacts(*movie);
    xmo::BSplineScratch scratch;
    const xmo::Mat4x4f view = xmo::Mat4x4f::identity();
    int quitCode = 0;
    for (int frame = 1; frame <= kFrames; ++frame) {
        const float t = frame * kFrameTime;
        xmo::stepPhysicsForFrame(physics, kFrameTime);
        if (!movie->sequences.empty()) {
            xmo::Sequence& sequence = *movie->sequences.front();
            xmo::runTimedCommands(*movie, sequence, view, t, physics, quitCode);
            xmo::applyAnimations(sequence.animations, t, scratch, discard);
        }
        xmo::forEachModel(movie->models, [](xmo::BaseModel& m) {
            if (auto* model = dynamic_cast<xmo::Model*>(&m); model && model->enabled) xmo::updateModelPlacement(*model);
        });
    }
    return 0;
}
