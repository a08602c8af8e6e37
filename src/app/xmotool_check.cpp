// Placeholder until the check subcommand lands.
#include <cstdio>

#include "app/xmotool_commands.h"

namespace xmo {

int runCheck(int, char**) {
    std::fputs("xmotool: check is not available yet\n", stderr);
    return 2;
}

}  // namespace xmo
