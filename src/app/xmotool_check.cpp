// xmotool check MOVIE: every problem an author should fix, one per line as
// "FILE:LINE: message", then a summary line. Exit 0 when the player would
// play the film, 3 when it would refuse it.
#include <iostream>
#include <optional>

#include "app/tool_media_loader.h"
#include "app/xmotool_commands.h"
#include "app/xmotool_load.h"
#include "effects/effect_names.h"
#include "effects/music_files.h"
#include "movie/movie_loader.h"

namespace xmo {

int runCheck(int argc, char** argv) {
    if (argc != 2) return usageError("check MOVIE");
    const std::string path = argv[1];
    ToolMediaLoader media;
    QuietLoadServices tool(&media);
    std::optional<std::string> refusal;
    try {
        const std::unique_ptr<Movie> movie = loadMovie(path, tool.services);
        planPhysics(*movie, tool.diagnostics);
        reportUnknownEffectNames(*movie, tool.diagnostics);
        reportUnusableMusicFiles(*movie, tool.diagnostics);
    } catch (const LoadError& e) {
        refusal = formatLoadError(e);
    }
    for (const Diagnostic& d : tool.diagnostics.items()) std::cout << formatDiagnostic(d) << '\n';
    if (refusal) std::cout << *refusal << '\n';
    const size_t problems = tool.diagnostics.items().size() + (refusal ? 1 : 0);
    std::cout << path << ": " << problems << (problems == 1 ? " problem" : " problems") << ", "
              << (refusal ? "the player would refuse this film" : "playable") << '\n';
    return refusal ? 3 : 0;
}

}  // namespace xmo
