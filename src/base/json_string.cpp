#include "base/json_string.h"

#include <cstdio>

namespace xmo {

void writeJsonString(std::ostream& out, std::string_view s) {
    out << '"';
    for (const char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"') out << "\\\"";
        else if (c == '\\') out << "\\\\";
        else if (c == '\n') out << "\\n";
        else if (c == '\t') out << "\\t";
        else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out << buffer;
        } else out << ch;
    }
    out << '"';
}

}  // namespace xmo
