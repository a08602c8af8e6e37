#include "base/diagnostics.h"

namespace xmo {

std::string formatDiagnostic(const Diagnostic& d) {
    std::string text = d.file;
    if (d.line > 0) text += ":" + std::to_string(d.line);
    text += ": " + d.message;
    return text;
}

}  // namespace xmo
