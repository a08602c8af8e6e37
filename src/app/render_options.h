// The command line of `xmotool render`: which frames of a film to render on
// a fixed-step clock, at which size and how many samples per pixel, and where
// they go (PNG files, a video file or a part of one, or one SHA-256 line per
// frame).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/gl_setup.h"

namespace xmo {

enum class RenderOutput { Pngs, Video, Hashes };

enum class VideoFormat { Mp4, WebM };

struct FrameSize {
    int width = 0;
    int height = 0;
};

// Where the film's picture lies in a frame: a rectangle of pixels, counted
// from the frame's bottom-left corner as GL counts them.
struct FrameArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The K-th of N parts of a video (index from 1).
struct VideoPart {
    int index = 1;
    int count = 1;
};

inline constexpr int kDefaultRenderFps = 25;
// Samples per pixel when --samples is not given: a video is for watching and
// is smoothed; PNG files and hashes are the player's own pixels.
inline constexpr int kDefaultVideoSamples = 4;
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
    FrameSize size{kScreenWidth, kScreenHeight};  // --size
    int samples = 1;            // --samples, or the output's default
    std::optional<VideoPart> part;  // --part K/N
    int jobs = 1;               // --jobs
};

// Parses
//   MOVIE [--fps N] [--size WxH] [--samples N] (--at T1,T2,... | --frames A-B) --out DIR
//   MOVIE [--fps N] [--from T] [--to T] [--size WxH] [--samples N] [--part K/N | --jobs J]
//         --video OUT.mp4|OUT.webm
//   MOVIE [--fps N] [--size WxH] [--samples N] [--at ... | --frames A-B | --from T --to T] --hash
// Frame n of "--at T" is round(T * N), each time a decimal number of seconds.
// Returns nothing and fills error on a usage error, an option given twice
// included.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args, std::string& error);

// The container a video file's name asks for: ".mp4" or ".webm", in any case;
// nothing for another name.
std::optional<VideoFormat> videoFormatOf(const std::string& path);

// The film's picture in a frame of the given size: the largest area of
// exactly 4:3 inside it (so the film keeps the player's framing), centred;
// the rest are black bars. A 4:3 frame is all picture.
FrameArea filmArea(FrameSize frame);

// Part K of N of a span of frames: the K-th of N runs of consecutive frames,
// their lengths differing by one at most. Returns nothing and fills error
// when the parts would be shorter than kMinPartFrames.
std::optional<std::vector<long>> partFrames(const std::vector<long>& span, VideoPart part, std::string& error);

// H.264 shows some pictures after later ones; a part of only a frame or two
// gets no such reordering and then does not join with its neighbours, which
// have it. Parts are held to a length at which every part has it.
inline constexpr long kMinPartFrames = 8;

// The frames from `from` up to but not including `to` seconds: from
// round(from * fps) to round(to * fps) - 1, so a span of S seconds is S * fps
// frames. Returns nothing and fills error when the span holds no frame or
// reaches past the last frame that can be rendered.
std::optional<std::vector<long>> spanFrames(double from, double to, int fps, std::string& error);

// The command line (without the program) that renders part `part` of the
// export `args` asks for into `path`: args without --jobs and its value, with
// `path` for the --video file and --part K/N added.
std::vector<std::string> partArguments(const std::vector<std::string>& args, VideoPart part, const std::string& path);

// Tick of the fixed-step clock at frame n: n * 1000 / fps milliseconds.
unsigned frameTicks(long frame, int fps);

// The film time the movie clock reports at frame n: the fixed-step clock is
// started at tick 0, so its film time is the frame's tick in seconds.
float frameFilmTime(long frame, int fps);

// "DIR/frame-NNNNNN.png"
std::string framePath(const std::string& dir, long frame);

}  // namespace xmo
