#include "base/blank_collapser.h"

#include <algorithm>
#include <climits>

namespace xmo {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
}  // namespace

char* BlankCollapser::feed(const char* in, std::size_t size, char* out) {
    char* start = out;
    for (const char* p = in; p != in + size; ++p) {
        const char c = *p;
        if (!isBlank(c)) {
            *out++ = c;
            inWord_ = true;
            continue;
        }
        if (inWord_) {
            *out++ = ' ';
            inWord_ = false;
        }
        if (c == '\n') lineStarts_.push_back(written_ + static_cast<std::size_t>(out - start));
    }
    written_ += static_cast<std::size_t>(out - start);
    return out;
}

char* BlankCollapser::finish(char* out) {
    if (inWord_) {
        *out++ = ' ';
        inWord_ = false;
        ++written_;
    }
    return out;
}

int BlankCollapser::lineOf(std::size_t offset) const {
    const auto later = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    const auto line = 1 + (later - lineStarts_.begin());
    return line > INT_MAX ? INT_MAX : static_cast<int>(line);
}

}  // namespace xmo
