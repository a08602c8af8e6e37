// xmotool: the windowless companion of the player. It checks, dumps and
// re-saves films itself, and hands render to xmotool-render and txf to
// xmotool-txf.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/sibling_program.h"
#include "app/xmotool_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: xmotool COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  check [--json] MOVIE      report every problem an author should fix, one per line\n"
    "                            as FILE:LINE: message (with --json, as a JSON array of\n"
    "                            {file, line, kind, message}); warnings about unknown\n"
    "                            names, numbers not read in full, repeated ids and the\n"
    "                            like do not refuse the film; exit 0 when the film is\n"
    "                            playable, 3 when the player would refuse it\n"
    "  dump MOVIE                the loaded and resolved movie as JSON on standard output\n"
    "  save MOVIE OUT            load MOVIE and write it again to OUT\n"
    "  render MOVIE [--fps N] (--at T1,T2,... | --frames A-B) --out DIR\n"
    "                            play the film on a fixed-step clock and write the\n"
    "                            requested frames as DIR/frame-NNNNNN.png\n"
    "  render MOVIE [--fps N] [--from T] [--to T] [--size WxH] --video OUT.mp4\n"
    "                            export the film with its music as a video (H.264 in\n"
    "                            .mp4, VP9 in .webm) through ffmpeg\n"
    "  render MOVIE [--fps N] [--at ... | --frames A-B] --hash\n"
    "                            print \"FRAME TIME SHA256\" of each frame's pixels\n"
    "                            (render is carried out by xmotool-render, which must be\n"
    "                            beside xmotool; xmotool render --help tells more)\n"
    "  txf FONT OUT.txf [--size PX] [--chars STRING]\n"
    "                            make a TXF caption font from a TrueType or OpenType\n"
    "                            font: the characters (UTF-8, Latin-1 only; default\n"
    "                            printable ASCII and the Latin-1 letters) drawn PX\n"
    "                            pixels to the em (4 to 100, default 48) (carried out\n"
    "                            by xmotool-txf, which must be beside xmotool)\n"
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
};

// Commands that need heavy libraries (render: a GL driver and the playback
// libraries; txf: FreeType), whose loading would cost check, dump and save
// more start-up time than the work itself; each is a program of its own
// beside xmotool, run in its place.
struct ProgramCommand {
    const char* name;
    const char* program;
};

constexpr ProgramCommand kProgramCommands[] = {
    {"render", "xmotool-render"},
    {"txf", "xmotool-txf"},
};

int runProgram(const ProgramCommand& c, char** argv) {
    argv[0] = const_cast<char*>(c.program);
    const std::string error = xmo::execSiblingProgram(c.program, argv);
    std::fprintf(stderr, "xmotool %s: %s\n", c.name, error.c_str());
    return 1;
}

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
    for (const ProgramCommand& c : kProgramCommands)
        if (std::strcmp(argv[1], c.name) == 0) return runProgram(c, argv + 1);
    std::fprintf(stderr, "xmotool: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
