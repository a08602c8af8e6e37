// The author's timeline on the demo (75 s), in this process as the player
// does it, the film read again in place for every seek back:
//   a seek from the end to 0, 10, 30, 50 and 70 s: the film read again, run
//   from its start without drawing, the frame drawn (goal: at most 0.5 s);
//   a drag across the time bar in 100 steps, forward (each step runs on from
//   the frame before) and backward (each step reads the film again), in
//   frames shown per second (goal: at least 5).
// Input handling and the buffer swap are left out: they cost the player a
// few milliseconds a frame.
//
// Usage: timeline_seek_bench [DRAG_STEPS]   (default 100)
#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "app/gl_setup.h"
#include "app/offscreen_context.h"
#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/render_options.h"
#include "app/seek_targets.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFps = 25;
constexpr int kDragSteps = 100;  // steps of a drag, unless given

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class Timeline {
public:
    Timeline() : media_(console_), player_([this] { return xmo::frameTicks(frame_, kFps); }, console_, console_) {
        player_.sound.keepSilent();
        std::filesystem::current_path(XMO_DEMO_DIR);
        if (!xmo::startPlayer(player_, "BrikBasics.xmo", media_)) throw std::runtime_error("the demo did not start");
    }

    long lastFrame() const { return xmo::lastFrameOfFilm(player_.currentMovie->sequences, kFps); }

    // As the player seeks: on from the frame it stands on, or from the start
    // of the film read again.
    void seek(long target) {
        if (target < frame_) {
            frame_ = 0;
            if (!xmo::restartFilm(player_, "BrikBasics.xmo", media_)) throw std::runtime_error("restart failed");
            current_ = -1;
        }
        for (long n = current_ + 1; n <= target && player_.quitCode == 0; ++n) {
            frame_ = n;
            xmo::advanceFrame(player_);
        }
        current_ = target;
        xmo::drawFrame(player_);
        glFinish();
    }

private:
    long frame_ = 0;
    long current_ = -1;  // the frame the film stands on
    std::ostringstream console_;
    xmo::PlayerMediaLoader media_;
    xmo::Player player_;
};

}  // namespace

int main(int argc, char** argv) {
    const int dragSteps = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDragSteps;
    xmo::OffscreenContext context;
    std::string error;
    if (!context.open(xmo::kScreenWidth, xmo::kScreenHeight, 1, error)) {
        std::fprintf(stderr, "timeline_seek_bench: %s\n", error.c_str());
        return 1;
    }
    Timeline timeline;
    const long last = timeline.lastFrame();
    timeline.seek(last);  // every seek below goes back

    double slowest = 0.0;
    for (const double seconds : {0.0, 10.0, 30.0, 50.0, 70.0}) {
        timeline.seek(last);
        const auto start = Clock::now();
        timeline.seek(xmo::frameNearest(seconds, kFps));
        const double took = secondsSince(start);
        slowest = std::max(slowest, took);
        std::printf("seek back to %4.0f s: %.3f s\n", seconds, took);
    }
    std::printf("slowest seek: %.3f s (goal: at most 0.5 s)\n", slowest);

    timeline.seek(0);
    auto start = Clock::now();
    for (int step = 1; step <= dragSteps; ++step) timeline.seek(last * step / dragSteps);
    const double forward = dragSteps / secondsSince(start);
    start = Clock::now();
    for (int step = dragSteps - 1; step >= 0; --step) timeline.seek(last * step / dragSteps);
    const double backward = dragSteps / secondsSince(start);
    std::printf("a drag across the bar in %d steps: forward %.1f frames shown a second, backward %.1f (goal: at "
                "least 5)\n",
                dragSteps, forward, backward);
    return 0;
}
