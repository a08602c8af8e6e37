// Text as a JSON string literal, for the tools' machine-readable output.
#pragma once

#include <ostream>
#include <string_view>

namespace xmo {

// Writes s quoted, with quotes, backslashes and control characters escaped;
// other bytes pass unchanged, so UTF-8 text stays UTF-8.
void writeJsonString(std::ostream& out, std::string_view s);

}  // namespace xmo
