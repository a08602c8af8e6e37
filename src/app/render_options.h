// The command line of `xmotool render`: which frames of a film to render on
// a fixed-step clock, and where they go (PNG files, a video file, or one
// SHA-256 line per frame).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace xmo {

enum class RenderOutput { Pngs, Video, Hashes };

enum class VideoFormat { Mp4, WebM };

struct FrameSize {
    int width = 0;
    int height = 0;
};

inline constexpr int kDefaultRenderFps = 25;
inline constexpr long kMaxRenderFrame = 999999;  // six digits in a PNG file name

struct RenderOptions {
    std::string moviePath;
    RenderOutput output = RenderOutput::Pngs;
    int fps = kDefaultRenderFps;
    // The frames named by --at or --frames, ascending without duplicates.
    // Empty when the frames are the span from `from` to `to` instead.
    std::vector<long> frames;
    double from = 0.0;          // seconds
    std::optional<double> to;   // seconds; none: the film's end
    std::string outputDir;      // --out
    std::string videoPath;      // --video
    VideoFormat videoFormat = VideoFormat::Mp4;
    std::optional<FrameSize> videoSize;  // --size; none: the screen's size
};

// Parses
//   MOVIE [--fps N] (--at T1,T2,... | --frames A-B) --out DIR
//   MOVIE [--fps N] [--from T] [--to T] [--size WxH] --video OUT.mp4|OUT.webm
//   MOVIE [--fps N] [--at ... | --frames A-B | --from T --to T] --hash
// Frame n of "--at T" is round(T * N), each time a decimal number of seconds.
// Returns nothing and fills error on a usage error, an option given twice
// included.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args, std::string& error);

// The frames from `from` up to but not including `to` seconds: from
// round(from * fps) to round(to * fps) - 1, so a span of S seconds is S * fps
// frames. Returns nothing and fills error when the span holds no frame or
// reaches past the last frame that can be rendered.
std::optional<std::vector<long>> spanFrames(double from, double to, int fps, std::string& error);

// Tick of the fixed-step clock at frame n: n * 1000 / fps milliseconds.
unsigned frameTicks(long frame, int fps);

// The film time the movie clock reports at frame n: the fixed-step clock is
// started at tick 0, so its film time is the frame's tick in seconds.
float frameFilmTime(long frame, int fps);

// "DIR/frame-NNNNNN.png"
std::string framePath(const std::string& dir, long frame);

}  // namespace xmo
