#include "app/render_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "app/movie_clock.h"

namespace xmo {

namespace {

constexpr int kMaxFps = 1000;
constexpr int kMaxVideoSide = 8192;

constexpr const char* kValueOptions[] = {"--fps", "--at", "--frames", "--out", "--from", "--to", "--video", "--size"};

bool parseLong(const std::string& text, long& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0]))) return false;
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

bool parseSeconds(const std::string& text, double& seconds) {
    if (!isDecimal(text)) return false;
    seconds = std::strtod(text.c_str(), nullptr);
    return std::isfinite(seconds);
}

bool parseTimes(const std::string& list, int fps, std::vector<long>& frames, std::string& error) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string item = list.substr(start, comma - start);
        double seconds = 0.0;
        if (!parseSeconds(item, seconds)) {
            error = "--at: not a time in seconds: '" + item + "'";
            return false;
        }
        const double frame = std::round(seconds * fps);
        if (frame > kMaxRenderFrame) {
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
        !parseLong(range.substr(dash + 1), last) || last < first || last > kMaxRenderFrame) {
        error = "--frames: expected A-B with 0 <= A <= B <= 999999, got '" + range + "'";
        return false;
    }
    for (long n = first; n <= last; ++n) frames.push_back(n);
    return true;
}

// Even sides, because the video's colour planes are sampled in two-by-two blocks.
bool parseSize(const std::string& text, FrameSize& size, std::string& error) {
    const std::size_t x = text.find('x');
    long width = 0, height = 0;
    if (x == std::string::npos || !parseLong(text.substr(0, x), width) || !parseLong(text.substr(x + 1), height) ||
        width < 2 || height < 2 || width > kMaxVideoSide || height > kMaxVideoSide || width % 2 || height % 2) {
        error = "--size: expected WxH, two even numbers from 2 to 8192, got '" + text + "'";
        return false;
    }
    size = {static_cast<int>(width), static_cast<int>(height)};
    return true;
}

bool endsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() <= suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool parseVideoPath(const std::string& path, VideoFormat& format, std::string& error) {
    if (endsWithNoCase(path, ".mp4")) {
        format = VideoFormat::Mp4;
    } else if (endsWithNoCase(path, ".webm")) {
        format = VideoFormat::WebM;
    } else {
        error = "--video: the file name must end in .mp4 (H.264) or .webm (VP9), got '" + path + "'";
        return false;
    }
    return true;
}

bool takesValue(const std::string& option) {
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), option) != std::end(kValueOptions);
}

// Which frames, in which combination with which output.
bool parseSelection(const std::map<std::string, std::string>& values, RenderOptions& o, std::string& error) {
    const bool at = values.count("--at"), range = values.count("--frames");
    const bool span = values.count("--from") || values.count("--to");
    if (at && range) {
        error = "--at and --frames exclude each other";
        return false;
    }
    if ((at || range) && span) {
        error = "--from and --to exclude --at and --frames";
        return false;
    }
    if (o.output == RenderOutput::Pngs && !at && !range) {
        error = "--out needs the frames: --at T1,T2,... or --frames A-B";
        return false;
    }
    if (o.output == RenderOutput::Video && (at || range)) {
        error = "--video takes --from and --to, not --at or --frames";
        return false;
    }
    if (o.output != RenderOutput::Video && values.count("--size")) {
        error = "--size goes with --video";
        return false;
    }
    if (at && !parseTimes(values.at("--at"), o.fps, o.frames, error)) return false;
    if (range && !parseRange(values.at("--frames"), o.frames, error)) return false;
    std::sort(o.frames.begin(), o.frames.end());
    o.frames.erase(std::unique(o.frames.begin(), o.frames.end()), o.frames.end());

    if (values.count("--from") && !parseSeconds(values.at("--from"), o.from)) {
        error = "--from: not a time in seconds: '" + values.at("--from") + "'";
        return false;
    }
    if (values.count("--to")) {
        double to = 0.0;
        if (!parseSeconds(values.at("--to"), to) || to <= o.from) {
            error = "--to: expected a time in seconds after --from, got '" + values.at("--to") + "'";
            return false;
        }
        o.to = to;
    }
    return true;
}

}  // namespace

std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args, std::string& error) {
    RenderOptions o;
    std::map<std::string, std::string> values;
    bool hash = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--hash" || takesValue(a)) {
            if ((a == "--hash" && hash) || values.count(a)) {
                error = a + " given twice";
                return std::nullopt;
            }
            if (a == "--hash") {
                hash = true;
                continue;
            }
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return std::nullopt;
            }
            values[a] = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        } else if (o.moviePath.empty()) {
            o.moviePath = a;
        } else {
            error = "more than one movie given";
            return std::nullopt;
        }
    }
    const int outputs = int(values.count("--out")) + int(values.count("--video")) + int(hash);
    if (o.moviePath.empty() || outputs != 1) {
        error = "expected MOVIE and one of --out DIR, --video FILE or --hash (see xmotool render --help)";
        return std::nullopt;
    }
    if (values.count("--fps")) {
        long fps = 0;
        if (!parseLong(values["--fps"], fps) || fps < 1 || fps > kMaxFps) {
            error = "--fps: expected a whole number from 1 to 1000";
            return std::nullopt;
        }
        o.fps = static_cast<int>(fps);
    }
    if (hash) {
        o.output = RenderOutput::Hashes;
    } else if (values.count("--video")) {
        o.output = RenderOutput::Video;
        o.videoPath = values["--video"];
        if (!parseVideoPath(o.videoPath, o.videoFormat, error)) return std::nullopt;
    } else {
        o.outputDir = values["--out"];
    }
    if (values.count("--size")) {
        FrameSize size;
        if (!parseSize(values["--size"], size, error)) return std::nullopt;
        o.videoSize = size;
    }
    if (!parseSelection(values, o, error)) return std::nullopt;
    return o;
}

std::optional<std::vector<long>> spanFrames(double from, double to, int fps, std::string& error) {
    const double first = std::round(from * fps);
    const double end = std::round(to * fps);
    if (end > kMaxRenderFrame + 1.0) {
        error = "the frames reach past frame 999999; give an earlier --to or fewer --fps";
        return std::nullopt;
    }
    if (!(first < end)) {
        char text[128];
        std::snprintf(text, sizeof text, "no frame from %g s to %g s at %d frames per second", from, to, fps);
        error = text;
        return std::nullopt;
    }
    std::vector<long> frames;
    frames.reserve(static_cast<std::size_t>(end - first));
    for (long n = static_cast<long>(first); n < static_cast<long>(end); ++n) frames.push_back(n);
    return frames;
}

unsigned frameTicks(long frame, int fps) {
    return static_cast<unsigned>(static_cast<long long>(frame) * 1000 / fps);
}

float frameFilmTime(long frame, int fps) {
    return MovieClock::seconds(static_cast<std::int32_t>(frameTicks(frame, fps)));
}

std::string framePath(const std::string& dir, long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%06ld.png", frame);
    return dir + "/" + name;
}

}  // namespace xmo
