#include "app/xmotool_load.h"

#include <cstdio>

namespace xmo {

int usageError(const char* usage) {
    std::fprintf(stderr, "usage: xmotool %s\n", usage);
    return 2;
}

}  // namespace xmo
