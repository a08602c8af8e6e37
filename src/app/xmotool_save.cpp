// xmotool save MOVIE OUT: load a movie and write it again with the writer.
// Exit 3 when the movie cannot be loaded, 1 when OUT cannot be written.
#include <iostream>

#include "app/tool_media_loader.h"
#include "app/xmotool_commands.h"
#include "app/xmotool_load.h"
#include "movie/movie_loader.h"
#include "movie/movie_writer.h"

namespace xmo {

int runSave(int argc, char** argv) {
    if (argc != 3) return usageError("save MOVIE OUT");
    ToolMediaLoader media;
    QuietLoadServices tool(&media, &std::cerr);
    try {
        const auto movie = loadMovie(argv[1], tool.services);
        saveMovie(*movie, argv[2]);
    } catch (const LoadError& e) {
        std::cerr << formatLoadError(e) << '\n';
        return 3;
    } catch (const SaveError& e) {
        std::cerr << "xmotool: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace xmo
