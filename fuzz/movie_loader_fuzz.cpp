// Fuzzes the movie loader from text to resolved movie. Media are not opened
// (the loader only hands their names on), nothing is written, and every
// refusal must come as a LoadError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "movie/movie_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    xmo::QuietLoadServices quiet;
    try {
        xmo::loadMovieFromText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.xmo",
                               quiet.services);
    } catch (const xmo::LoadError&) {
    }
    return 0;
}
