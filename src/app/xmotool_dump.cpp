// Placeholder until the dump subcommand lands.
#include <cstdio>

#include "app/xmotool_commands.h"

namespace xmo {

int runDump(int, char**) {
    std::fputs("xmotool: dump is not available yet\n", stderr);
    return 2;
}

}  // namespace xmo
