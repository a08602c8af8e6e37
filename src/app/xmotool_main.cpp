// xmotool: the windowless companion of the player. It checks, dumps, re-saves
// and renders films without a window or a sound device.
#include <cstdio>
#include <cstring>

#include "app/xmotool_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: xmotool COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  check MOVIE               report every problem an author should fix; exit 0 when\n"
    "                            the film is playable, 3 when the player would refuse it\n"
    "  dump MOVIE                the loaded and resolved movie as JSON on standard output\n"
    "  save MOVIE OUT            load MOVIE and write it again to OUT\n"
    "  render MOVIE --fps N (--at T1,T2,... | --frames A-B) --out DIR\n"
    "                            play the film on a fixed-step clock and write the\n"
    "                            requested frames as DIR/frame-NNNNNN.png\n"
    "\n"
    "options:\n"
    "  --help                    this text\n"
    "  --version                 the version\n";

struct Command {
    const char* name;
    int (*run)(int, char**);
};

constexpr Command kCommands[] = {
    {"check", xmo::runCheck},
    {"dump", xmo::runDump},
    {"save", xmo::runSave},
    {"render", xmo::runRender},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("xmotool %s\n", XMO_VERSION);
        return 0;
    }
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) return c.run(argc - 1, argv + 1);
    std::fprintf(stderr, "xmotool: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
