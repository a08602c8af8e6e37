// xmotool-render: `xmotool render`, a program of its own so that the other
// subcommands need no GL driver. It plays a film on a fixed-step clock in an
// offscreen context and hands chosen frames to PNG files, hash lines or a
// video (render_run.h).
#include <GL/gl.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <vector>

#include "app/frame_sinks.h"
#include "app/gl_setup.h"
#include "app/offscreen_context.h"
#include "app/parallel_export.h"
#include "app/playback_ticks.h"
#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/render_options.h"
#include "app/render_run.h"
#include "app/timeline.h"
#include "app/video_export.h"
#include "movie/movie_loader.h"

namespace {

constexpr const char* kHelp =
    "usage: xmotool render MOVIE [--fps N] [--size WxH] [--samples N] (--at T1,T2,... | --frames A-B) --out DIR\n"
    "       xmotool render MOVIE [--fps N] [--from T] [--to T] [--size WxH] [--samples N]\n"
    "                            [--part K/N | --jobs J] --video OUT.mp4|OUT.webm\n"
    "       xmotool render MOVIE [--fps N] [--size WxH] [--samples N]\n"
    "                            [--at T1,T2,... | --frames A-B | --from T --to T] --hash\n"
    "\n"
    "Plays MOVIE offscreen on a fixed-step clock (frame n at n/N seconds) and writes\n"
    "the chosen frames, pixel for pixel what the player shows. Every frame before\n"
    "them is rendered too, so the film runs as it plays. Run it from the film's\n"
    "folder: the file names in a movie are relative to the working directory.\n"
    "\n"
    "  --fps N          frames per second of the clock, 1 to 1000 (default 25)\n"
    "  --at T1,T2,...   the frames at these film times in seconds (frame round(T*N))\n"
    "  --frames A-B     frames A to B\n"
    "  --out DIR        write each frame as DIR/frame-NNNNNN.png\n"
    "  --video OUT      encode the frames from --from to --to with ffmpeg: OUT.mp4 is\n"
    "                   H.264 with AAC sound, OUT.webm VP9 with Opus; the film's music\n"
    "                   is the sound track (a film without music has none)\n"
    "  --from T         the first frame's film time (default 0); earlier frames are\n"
    "                   played, not written\n"
    "  --to T           the end, not included (default: the end of the last sequence;\n"
    "                   the film's exit command ends it sooner)\n"
    "  --size WxH       frames of W by H pixels (default 800x600, the player's): the\n"
    "                   film in the largest 4:3 area inside, centred, with black\n"
    "                   bars beside or above and below it; even sides for a video\n"
    "  --samples N      samples per pixel, 1, 2, 4 or 8, to smooth the edges (default\n"
    "                   4 for --video, 1 otherwise: PNG files and hashes then show\n"
    "                   the player's own pixels)\n"
    "  --part K/N       write only the K-th of N equal runs of the frames from --from\n"
    "                   to --to, as a video of its own for xmotool join (the first\n"
    "                   part carries the sound track of them all)\n"
    "  --jobs J         render the video as J parts in J processes at once and join\n"
    "                   them into OUT\n"
    "  --hash           print \"FRAME TIME SHA256\" per frame: the SHA-256 of its RGBA\n"
    "                   pixels, top row first; without --at or --frames every frame\n"
    "                   from --from to --to\n"
    "  --version        the version and the OpenGL renderer that draws the frames\n"
    "                   (frame hashes agree only between runs on the same renderer)\n"
    "\n"
    "Exit codes: 0 done; 1 the film or its output failed (the exit command ended the\n"
    "film before a frame asked for by --at or --frames, ffmpeg missing or failing, a\n"
    "file that cannot be written); 2 usage error; 3 the movie cannot be used.\n";

// Set by SIGINT and SIGTERM; the run stops between frames and cleans up.
volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

void handleSignals() {
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A file grown past the size limit fails its write (EFBIG) like a full
    // disk, instead of ending the process before it removes its temporary files.
    signal(SIGXFSZ, SIG_IGN);
}

int fail(const std::string& message, int code = 1) {
    std::cerr << "xmotool render: " << message << "\n";
    return code;
}

// The version, and the rasteriser that draws the frames: hashes of frames
// are equal only between runs on the same one.
int printVersion() {
    xmo::OffscreenContext context;
    std::string error;
    if (!context.open(xmo::kScreenWidth, xmo::kScreenHeight, 1, error)) return fail(error);
    const auto text = [](GLenum name) {
        const GLubyte* value = glGetString(name);
        return value ? reinterpret_cast<const char*>(value) : "unknown";
    };
    std::cout << "xmotool render " << XMO_VERSION << "\nrenderer: " << text(GL_RENDERER)
              << "\nOpenGL: " << text(GL_VERSION) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace xmo;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << kHelp;
        return 0;
    }
    std::string error;
    if (args.size() == 1 && args[0] == "--version") return printVersion();
    const std::optional<RenderOptions> options = parseRenderOptions(args, error);
    if (!options) return fail(error, 2);
    if (options->jobs > 1) {
        handleSignals();
        return exportInParallel(*options, args, stopRequested, std::cerr, isatty(STDERR_FILENO) == 1);
    }

    OffscreenContext context;
    if (!context.open(options->size.width, options->size.height, options->samples, error))
        return fail(error, context.frameRefused() ? 2 : 1);
    if (context.samples() != options->samples)
        std::cerr << "xmotool render: --samples " << options->samples << ": the GL draws " << context.samples()
                  << " samples per pixel for it\n";

    PlaybackTicks ticks;
    Player player([&ticks] { return ticks.now(); }, std::cerr, std::cerr);
    // Pictures only: no sound device is opened, and the film's music is
    // neither loaded nor played.
    player.sound.keepSilent();
    PlayerMediaLoader media(std::cerr);
    try {
        if (!startPlayer(player, options->moviePath, media)) return 1;
    } catch (const LoadError& e) {
        std::cerr << describeLoadError(e) << "\n";
        return 3;
    }
    const FrameArea area = filmArea(options->size);
    reshapeInto(area.x, area.y, area.width, area.height);
    if (options->output == RenderOutput::Pngs) {
        // Only now: a refused film leaves no empty folder behind.
        std::error_code fsError;
        std::filesystem::create_directories(options->outputDir, fsError);
        if (fsError) {
            stopPlayer(player);
            return fail(options->outputDir + ": " + fsError.message());
        }
    }

    std::vector<long> span = options->frames;
    if (span.empty()) {
        const double to = options->to ? *options->to : filmEnd(player.currentMovie->sequences);
        std::optional<std::vector<long>> spanned = spanFrames(options->from, to, options->fps, error);
        if (!spanned) return fail(error + (options->to ? "" : " (the film ends there; give --to)"), 2);
        span = std::move(*spanned);
    }
    std::vector<long> frames = span;
    if (options->part) {
        std::optional<std::vector<long>> part = partFrames(span, *options->part, error);
        if (!part) return fail(error, 2);
        frames = std::move(*part);
    }

    handleSignals();
    std::unique_ptr<FrameSink> sink;
    VideoExport* video = nullptr;
    if (options->output == RenderOutput::Video) {
        auto exporter =
            std::make_unique<VideoExport>(*options, span, frames, std::cerr, isatty(STDERR_FILENO) == 1);
        if (!exporter->start(*player.currentMovie, options->moviePath, error)) return fail(error);
        video = exporter.get();
        sink = std::move(exporter);
    } else if (options->output == RenderOutput::Hashes) {
        sink = std::make_unique<HashLines>(options->fps, std::cout);
    } else {
        sink = std::make_unique<PngFrames>(options->outputDir, options->size, std::cout);
    }

    const RunResult run = playFrames(player, ticks, options->fps, frames, context, *sink, stopRequested);
    stopPlayer(player);
    switch (run.end) {
    case RunEnd::Interrupted: return fail("stopped; nothing more was written", 130);
    case RunEnd::SinkFailed: return fail(run.error);
    case RunEnd::ExitCommand:
        // A span ends with the film; frames asked for by name must all
        // exist, and so must a part's first frame.
        if (options->part && run.taken == 0)
            return fail("the film ended by its exit command at frame " + std::to_string(run.lastFrame) +
                        ", before frame " + std::to_string(frames.front()) + " where part " +
                        std::to_string(options->part->index) + "/" + std::to_string(options->part->count) +
                        " begins; give an earlier --to");
        if (options->frames.empty()) break;
        return fail("the film ended by its exit command at frame " + std::to_string(run.lastFrame) + "; " +
                    std::to_string(frames.size() - run.taken) + " requested frame(s) after it were not rendered");
    case RunEnd::AllFrames: break;
    }
    if (video) {
        if (!video->finish(error)) return fail(error);
        std::cerr << "xmotool render: " << video->summary() << "\n";
    }
    return 0;
}
