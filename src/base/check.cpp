#include "base/check.h"

#include <cstdio>
#include <cstdlib>

namespace xmo {

void checkFailed(const char* expression, const char* unit, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, unit, line);
    std::fflush(stderr);
    std::abort();
}

}  // namespace xmo
