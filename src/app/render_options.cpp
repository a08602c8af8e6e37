#include "app/render_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace xmo {

namespace {

constexpr long kMaxFrame = 999999;  // six digits in the file name

bool parseLong(const std::string& text, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

// Digits with at most one decimal point: no sign, exponent, hexadecimal
// ("0x10") or "inf", which strtod would all accept.
bool isDecimal(const std::string& text) {
    const std::size_t point = text.find('.');
    const std::size_t digits = text.size() - (point == std::string::npos ? 0 : 1);
    return digits > 0 && text.find_first_not_of("0123456789.") == std::string::npos &&
           (point == std::string::npos || text.find('.', point + 1) == std::string::npos);
}

bool parseTimes(const std::string& list, int fps, std::vector<long>& frames, std::string& error) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, comma - start);
        const double seconds = isDecimal(item) ? std::strtod(item.c_str(), nullptr) : -1.0;
        if (!std::isfinite(seconds) || seconds < 0.0) {
            error = "--at: not a time in seconds: '" + item + "'";
            return false;
        }
        const double frame = std::round(seconds * fps);
        if (frame > kMaxFrame) {
            error = "--at: time " + item + " is beyond the last frame that can be named";
            return false;
        }
        frames.push_back(static_cast<long>(frame));
        start = comma + 1;
    }
    return true;
}

bool parseRange(const std::string& range, std::vector<long>& frames, std::string& error) {
    const std::size_t dash = range.find('-');
    long first = 0, last = 0;
    if (dash == std::string::npos || !parseLong(range.substr(0, dash), first) ||
        !parseLong(range.substr(dash + 1), last) || first < 0 || last < first || last > kMaxFrame) {
        error = "--frames: expected A-B with 0 <= A <= B <= 999999, got '" + range + "'";
        return false;
    }
    for (long n = first; n <= last; ++n) frames.push_back(n);
    return true;
}

}  // namespace

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args, std::string& error) {
    RenderOptions options;
    std::string at, range;
    std::vector<std::string> seen;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool takesValue = a == "--fps" || a == "--at" || a == "--frames" || a == "--out";
        if (takesValue && i + 1 >= args.size()) {
            error = a + " needs a value";
            return std::nullopt;
        }
        // A second value would silently win over the first.
        if (takesValue && std::find(seen.begin(), seen.end(), a) != seen.end()) {
            error = a + " given more than once";
            return std::nullopt;
        }
        if (takesValue) seen.push_back(a);
        if (a == "--fps") {
            long fps = 0;
            if (!parseLong(args[++i], fps) || fps < 1 || fps > 1000) {
                error = "--fps: expected a whole number from 1 to 1000";
                return std::nullopt;
            }
            options.fps = static_cast<int>(fps);
        } else if (a == "--at") {
            at = args[++i];
        } else if (a == "--frames") {
            range = args[++i];
        } else if (a == "--out") {
            options.outputDir = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        } else if (options.moviePath.empty()) {
            options.moviePath = a;
        } else {
            error = "more than one movie given";
            return std::nullopt;
        }
    }
    if (options.moviePath.empty() || options.fps == 0 || options.outputDir.empty() || at.empty() == range.empty()) {
        error = "expected MOVIE --fps N (--at T1,T2,... | --frames A-B) --out DIR";
        return std::nullopt;
    }
    if (!at.empty() && !parseTimes(at, options.fps, options.frames, error)) return std::nullopt;
    if (!range.empty() && !parseRange(range, options.frames, error)) return std::nullopt;
    std::sort(options.frames.begin(), options.frames.end());
    options.frames.erase(std::unique(options.frames.begin(), options.frames.end()), options.frames.end());
    return options;
}

unsigned frameTicks(long frame, int fps) {
    return static_cast<unsigned>(static_cast<long long>(frame) * 1000 / fps);
}

std::string framePath(const std::string& dir, long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
    return dir + "/" + name;
}

}  // namespace xmo
