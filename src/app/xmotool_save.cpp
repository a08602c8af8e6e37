// Placeholder until the save subcommand lands.
#include <cstdio>

#include "app/xmotool_commands.h"

namespace xmo {

int runSave(int, char**) {
    std::fputs("xmotool: save is not available yet\n", stderr);
    return 2;
}

}  // namespace xmo
