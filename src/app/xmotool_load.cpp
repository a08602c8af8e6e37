#include "app/xmotool_load.h"

#include <cstdio>

namespace xmo {

std::string formatLoadError(const LoadError& error) {
    return formatDiagnostic({DiagnosticKind::ParseError, error.file(), error.line(), error.what()});
}

int usageError(const char* usage) {
    std::fprintf(stderr, "usage: xmotool %s\n", usage);
    return 2;
}

}  // namespace xmo
