// Fuzzes the movie loader from text to resolved movie, both as the player
// loads (stopping at the first refusal) and as check loads (going on past
// refusals). Media are not opened (the loader only hands their names on),
// nothing is written, and every refusal must come as a LoadError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "movie/movie_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    xmo::QuietLoadServices quiet;
    try {
        xmo::loadMovieFromText(text, "fuzz.xmo", quiet.services);
    } catch (const xmo::LoadError&) {
    }
    xmo::QuietLoadServices checking;
    try {
        xmo::loadMovieTextToCheck(text, "fuzz.xmo", checking.services);
    } catch (const xmo::LoadError&) {
    }
    return 0;
}
