// Fuzzes the movie loader from text to resolved movie. Media are not opened
// (the loader only hands their names on), nothing is written, and every
// refusal must come as a LoadError.
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string_view>

#include "movie/movie_loader.h"
#include "scene/renderer_state.h"

namespace {

class NoMedia : public xmo::MediaLoader {
public:
    void loadFont(xmo::Text&, const char*, xmo::Diagnostics&) override {}
    void loadTile(xmo::Tiles&, const char*, xmo::Diagnostics&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    NoMedia media;
    xmo::PhysicsWorld physics;
    xmo::LightCounter lights;
    xmo::Diagnostics diagnostics;
    std::ostream discard(nullptr);
    xmo::LoadServices services{media, physics, lights, discard, discard, diagnostics};
    try {
        xmo::loadMovieFromText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.xmo", services);
    } catch (const xmo::LoadError&) {
    }
    return 0;
}
