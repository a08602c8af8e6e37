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
// Sides beyond what the GL can draw are refused when the context is made,
// with the GL's own limit; this bound only keeps the arithmetic small.
constexpr long kMaxFrameSide = 65536;
constexpr long kMaxParts = 9999;
constexpr long kMaxJobs = 256;

constexpr const char* kValueOptions[] = {"--fps", "--at",   "--frames",  "--out",  "--from", "--to",
                                         "--video", "--size", "--samples", "--part", "--jobs"};

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

// A and B of "AxB" or "A/B".
bool parsePair(const std::string& text, char separator, long& a, long& b) {
    const std::size_t at = text.find(separator);
    return at != std::string::npos && parseLong(text.substr(0, at), a) && parseLong(text.substr(at + 1), b);
}

// At least 4x3, so the film has a picture of one pixel per unit of its 4:3
// shape; even sides for a video, whose colour planes are sampled in two-by-two
// blocks.
bool parseSize(const std::string& text, bool video, FrameSize& size, std::string& error) {
    long width = 0, height = 0;
    if (!parsePair(text, 'x', width, height) || width < 4 || height < 3 || width > kMaxFrameSide ||
        height > kMaxFrameSide || (video && (width % 2 || height % 2))) {
        error = std::string("--size: expected WxH of at least 4x3") + (video ? " with even sides for a video" : "") +
                ", got '" + text + "'";
        return false;
    }
    size = {static_cast<int>(width), static_cast<int>(height)};
    return true;
}

bool parseSamples(const std::string& text, int& samples, std::string& error) {
    long n = 0;
    if (!parseLong(text, n) || (n != 1 && n != 2 && n != 4 && n != 8)) {
        error = "--samples: expected 1, 2, 4 or 8, got '" + text + "'";
        return false;
    }
    samples = static_cast<int>(n);
    return true;
}

bool parsePart(const std::string& text, VideoPart& part, std::string& error) {
    long index = 0, count = 0;
    if (!parsePair(text, '/', index, count) || index < 1 || index > count || count > kMaxParts) {
        error = "--part: expected K/N with 1 <= K <= N <= 9999, got '" + text + "'";
        return false;
    }
    part = {static_cast<int>(index), static_cast<int>(count)};
    return true;
}

bool parseJobs(const std::string& text, int& jobs, std::string& error) {
    long n = 0;
    if (!parseLong(text, n) || n < 1 || n > kMaxJobs) {
        error = "--jobs: expected a whole number from 1 to 256, got '" + text + "'";
        return false;
    }
    jobs = static_cast<int>(n);
    return true;
}

bool endsWithNoCase(const std::string& text, const std::string& suffix) {
    if (text.size() <= suffix.size()) return false;
    return std::equal(suffix.rbegin(), suffix.rend(), text.rbegin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

bool parseVideoPath(const std::string& path, VideoFormat& format, std::string& error) {
    const std::optional<VideoFormat> named = videoFormatOf(path);
    if (!named) {
        error = "--video: the file name must end in .mp4 (H.264) or .webm (VP9), got '" + path + "'";
        return false;
    }
    format = *named;
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
    for (const char* option : {"--part", "--jobs"}) {
        if (o.output != RenderOutput::Video && values.count(option)) {
            error = std::string(option) + " goes with --video";
            return false;
        }
    }
    if (values.count("--part") && values.count("--jobs")) {
        error = "--part and --jobs exclude each other: --jobs runs every part itself";
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
    const bool video = o.output == RenderOutput::Video;
    if (values.count("--size") && !parseSize(values["--size"], video, o.size, error)) return std::nullopt;
    o.samples = video ? kDefaultVideoSamples : 1;
    if (values.count("--samples") && !parseSamples(values["--samples"], o.samples, error)) return std::nullopt;
    if (values.count("--part")) {
        VideoPart part;
        if (!parsePart(values["--part"], part, error)) return std::nullopt;
        o.part = part;
    }
    if (values.count("--jobs") && !parseJobs(values["--jobs"], o.jobs, error)) return std::nullopt;
    if (!parseSelection(values, o, error)) return std::nullopt;
    return o;
}

std::optional<VideoFormat> videoFormatOf(const std::string& path) {
    if (endsWithNoCase(path, ".mp4")) return VideoFormat::Mp4;
    if (endsWithNoCase(path, ".webm")) return VideoFormat::WebM;
    return std::nullopt;
}

FrameArea filmArea(FrameSize frame) {
    // Whole 4:3 steps: the picture's sides are exactly 4:3, as the player's
    // 800x600 is, so the projection is the same.
    const int step = std::min(frame.width / 4, frame.height / 3);
    FrameArea area;
    area.width = 4 * step;
    area.height = 3 * step;
    area.x = (frame.width - area.width) / 2;
    area.y = (frame.height - area.height) / 2;
    return area;
}

std::optional<std::vector<long>> partFrames(const std::vector<long>& span, VideoPart part, std::string& error) {
    const std::size_t count = span.size();
    const std::size_t begin = count * static_cast<std::size_t>(part.index - 1) / part.count;
    const std::size_t end = count * static_cast<std::size_t>(part.index) / part.count;
    if (count < static_cast<std::size_t>(kMinPartFrames) * part.count) {
        error = std::to_string(part.count) + " parts of the " + std::to_string(count) +
                " frame(s) from --from to --to would hold fewer than " + std::to_string(kMinPartFrames) +
                " frames each; make fewer parts";
        return std::nullopt;
    }
    return std::vector<long>(span.begin() + static_cast<long>(begin), span.begin() + static_cast<long>(end));
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

std::vector<std::string> partArguments(const std::vector<std::string>& args, VideoPart part, const std::string& path) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const bool valued = takesValue(args[i]) && i + 1 < args.size();
        if (args[i] == "--jobs") {
            ++i;
        } else if (args[i] == "--video") {
            result.insert(result.end(), {args[i], path});
            ++i;
        } else {
            result.push_back(args[i]);
            if (valued) result.push_back(args[++i]);
        }
    }
    result.insert(result.end(), {"--part", std::to_string(part.index) + "/" + std::to_string(part.count)});
    return result;
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
