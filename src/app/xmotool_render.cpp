// Placeholder until the render subcommand lands.
#include <cstdio>

#include "app/xmotool_commands.h"

namespace xmo {

int runRender(int, char**) {
    std::fputs("xmotool: render is not available yet\n", stderr);
    return 2;
}

}  // namespace xmo
