// Fuzzes the physics world with whole films: the movie is loaded into a world
// with rigid-body dynamics, every model is enabled, and a second of frames is
// played with the first sequence's animations handing force keys to the
// bodies. No film may crash the simulation or hang it.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "motion/animation.h"
#include "movie/movie_loader.h"
#include "physics/ode_world.h"
#include "scene/renderer_state.h"

namespace {

class NoMedia : public xmo::MediaLoader {
public:
    void loadFont(xmo::Text&, const char*, xmo::Diagnostics&) override {}
    void loadTile(xmo::Tiles&, const char*, xmo::Diagnostics&) override {}
};

constexpr int kFrames = 25;
constexpr float kFrameTime = 0.04f;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NoMedia media;
    xmo::OdeWorld physics;
    physics.createGroundPlane();
    xmo::LightCounter lights;
    xmo::Diagnostics diagnostics;
    std::ostream discard(nullptr);
    xmo::LoadServices services{media, physics, lights, discard, discard, diagnostics};
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
    for (int frame = 1; frame <= kFrames; ++frame) {
        xmo::stepPhysicsForFrame(physics, kFrameTime);
        if (!movie->sequences.empty())
            xmo::applyAnimations(movie->sequences.front()->animations, frame * kFrameTime, scratch, discard);
    }
    return 0;
}
