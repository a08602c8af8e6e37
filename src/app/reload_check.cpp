#include "app/reload_check.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "app/tool_media_loader.h"
#include "movie/load_services.h"
#include "movie/movie_loader.h"

namespace xmo {

std::optional<std::string> findReloadProblem(const std::string& moviePath) {
    ToolMediaLoader media;
    QuietLoadServices tool(&media);
    std::unique_ptr<Movie> movie;
    try {
        movie = loadMovie(moviePath, tool.services);
    } catch (const LoadError& e) {
        return formatLoadError(e);
    }
    for (const auto& sound : movie->sounds) {
        std::ifstream music(sound->filename, std::ios::binary);
        if (!music)
            return formatDiagnostic({DiagnosticKind::ParseError, moviePath, sound->sourceLine,
                                     "Sound: cannot open the music file " + sound->filename + ": " +
                                         std::strerror(errno)});
    }
    return std::nullopt;
}

}  // namespace xmo
