// xmotool dump MOVIE: the loaded and resolved movie as JSON on standard
// output; problems go to standard error so the JSON stays clean.
#include <iostream>

#include "app/tool_media_loader.h"
#include "app/xmotool_commands.h"
#include "app/film_check.h"
#include "app/xmotool_load.h"
#include "movie/movie_json.h"
#include "movie/movie_loader.h"

namespace xmo {

int runDump(int argc, char** argv) {
    if (argc != 2) return usageError("dump MOVIE");
    ToolMediaLoader media;
    QuietLoadServices tool(&media, &std::cerr);
    try {
        const auto movie = loadMovie(argv[1], tool.services);
        planPhysics(*movie, tool.diagnostics);
        for (const Diagnostic& d : tool.diagnostics.items()) std::cerr << formatDiagnostic(d) << '\n';
        writeMovieJson(*movie, std::cout);
    } catch (const LoadError& e) {
        std::cerr << formatLoadError(e) << '\n';
        return 3;
    }
    return 0;
}

}  // namespace xmo
