// xmotool: the windowless companion of the player. It checks, dumps and
// re-saves films and joins the parts of a video itself, and hands render to
// xmotool-render and txf to xmotool-txf.
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
    "  render MOVIE [--fps N] [--size WxH] (--at T1,T2,... | --frames A-B) --out DIR\n"
    "                            play the film on a fixed-step clock and write the\n"
    "                            requested frames as DIR/frame-NNNNNN.png\n"
    "  render MOVIE [--fps N] [--from T] [--to T] [--size WxH] [--samples N]\n"
    "         [--part K/N | --jobs J] --video OUT.mp4\n"
    "                            export the film with its music as a video (H.264 in\n"
    "                            .mp4, VP9 in .webm) through ffmpeg, whole, as part K\n"
    "                            of N, or in J processes at once\n"
    "  render MOVIE [--fps N] [--size WxH] [--at ... | --frames A-B] --hash\n"
    "                            print \"FRAME TIME SHA256\" of each frame's pixels\n"
    "                            (render is carried out by xmotool-render, which must be\n"
    "                            beside xmotool; xmotool render --help tells more)\n"
    "  join OUT PART1 ... PARTN  join the parts written by render --part into OUT\n"
    "                            without encoding them again\n"
    "  txf FONT OUT.txf [--size PX] [--chars STRING]\n"
    "                            make a TXF caption font from a TrueType or OpenType\n"
    "                            font: the characters (UTF-8, Latin-1 only; default\n"
    "                            printable ASCII and the Latin-1 letters) drawn PX\n"
    "                            pixels to the em (4 to 100, default 48) (carried out\n"
    "                            by xmotool-txf, which must be beside xmotool)\n"
    "\n"
    "options:\n"
    "  --help                    this text; after a command, that command's help\n"
    "  --version                 the version\n";

struct Command {
    const char* name;
    const char* help;  // what `xmotool NAME --help` prints
    int (*run)(int, char**);
};

constexpr Command kCommands[] = {
    {"check",
     "usage: xmotool check [--json] MOVIE\n"
     "\n"
     "Loads MOVIE as the player would and prints every problem an author should\n"
     "fix, one a line as FILE:LINE: message, then a summary line. Warnings (unknown\n"
     "names, numbers not read in full, repeated ids and the like) do not refuse the\n"
     "film. Run it from the film's folder: the file names in a movie are relative to\n"
     "the working directory.\n"
     "\n"
     "  --json    the problems as one JSON array of {file, line, kind, message}\n"
     "            objects and nothing else; a refusal comes last, of kind \"refused\"\n"
     "\n"
     "Exit codes: 0 the player would play the film; 2 usage error; 3 the player\n"
     "would refuse it.\n",
     xmo::runCheck},
    {"dump",
     "usage: xmotool dump MOVIE\n"
     "\n"
     "Prints the loaded and resolved movie as JSON on standard output: every\n"
     "object, model and sequence with the values the player would use.\n"
     "\n"
     "Exit codes: 0 done; 2 usage error; 3 the movie cannot be used.\n",
     xmo::runDump},
    {"save",
     "usage: xmotool save MOVIE OUT\n"
     "\n"
     "Loads MOVIE and writes it again to OUT, in the form the player's own writer\n"
     "gives it. OUT is written beside itself and renamed, so a failed save leaves\n"
     "no half-written file.\n"
     "\n"
     "Exit codes: 0 done; 1 OUT cannot be written; 2 usage error; 3 the movie\n"
     "cannot be used.\n",
     xmo::runSave},
    {"join",
     "usage: xmotool join OUT PART1 ... PARTN\n"
     "\n"
     "Joins the parts of a video that `xmotool render --part K/N --video PART` wrote,\n"
     "given in order from 1 to N, into OUT (.mp4 or .webm, as the parts) with ffmpeg,\n"
     "without encoding them again: OUT holds the frames and the sound track a single\n"
     "export would. Parts missing, out of order, of another export or not whole are\n"
     "refused. OUT is written beside itself, checked and renamed, so a failed join\n"
     "leaves no half-written file and the old OUT as it was.\n"
     "\n"
     "Exit codes: 0 done; 1 the parts cannot be joined or OUT cannot be written;\n"
     "2 usage error.\n",
     xmo::runJoin},
};

bool isHelpOption(const char* arg) { return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0; }

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
    if (isHelpOption(argv[1])) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("xmotool %s\n", XMO_VERSION);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        if (argc == 3 && isHelpOption(argv[2])) {
            std::fputs(c.help, stdout);
            return 0;
        }
        return c.run(argc - 1, argv + 1);
    }
    for (const ProgramCommand& c : kProgramCommands)
        if (std::strcmp(argv[1], c.name) == 0) return runProgram(c, argv + 1);
    std::fprintf(stderr, "xmotool: unknown command '%s'\n\n%s", argv[1], kUsage);
    return 2;
}
