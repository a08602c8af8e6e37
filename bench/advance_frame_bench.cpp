// Reaching a film time: the demo advanced without drawing, against the same
// frames drawn as well (the baseline, in the same run). Prints the frames per
// second of advanceFrame, as a multiple of real time at 25 fps (goal: at
// least 200x), and of a frame that is advanced and drawn.
//
// Usage: advance_frame_bench [DRAWN_FRAMES]   (the baseline's length; default 500)
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
#include "app/render_options.h"
#include "app/tool_media_loader.h"

namespace {

constexpr int kFps = 25;
// The drawn baseline: the opening and the brick shower.
constexpr long kDrawnFrames = 20 * kFps;

class DemoRun {
public:
    DemoRun() : player_([this] { return xmo::frameTicks(frame_, kFps); }, console_, console_) {
        player_.sound.keepSilent();
        const std::filesystem::path here = std::filesystem::current_path();
        std::filesystem::current_path(XMO_DEMO_DIR);
        const bool started = xmo::startPlayer(player_, "BrikBasics.xmo", media_);
        std::filesystem::current_path(here);
        if (!started) throw std::runtime_error("the demo did not start");
    }
    // Frames played until the film's exit command or `frames`, and the
    // wall-clock seconds they took.
    std::pair<long, double> play(long frames, bool drawn) {
        const auto start = std::chrono::steady_clock::now();
        long played = 0;
        for (; played < frames && player_.quitCode == 0; ++played, ++frame_) {
            xmo::advanceFrame(player_);
            if (drawn) xmo::drawFrame(player_);
        }
        if (drawn) glFinish();
        return {played, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
    }

private:
    long frame_ = 0;
    std::ostringstream console_;
    xmo::ToolMediaLoader media_;
    xmo::Player player_;
};

}  // namespace

int main(int argc, char** argv) {
    const long drawnFrames = argc > 1 ? std::max(1L, std::atol(argv[1])) : kDrawnFrames;
    xmo::OffscreenContext context;
    std::string error;
    if (!context.open(xmo::kScreenWidth, xmo::kScreenHeight, 1, error)) {
        std::fprintf(stderr, "advance_frame_bench: %s\n", error.c_str());
        return 1;
    }
    const auto [advanced, advanceSeconds] = DemoRun().play(1000000, false);
    const auto [drawn, drawSeconds] = DemoRun().play(drawnFrames, true);
    const double advanceFps = advanced / advanceSeconds, drawnFps = drawn / drawSeconds;
    std::printf("the demo advanced without drawing: %ld frames in %.2f s, %.0f fps, %.0fx real time (goal: at least "
                "200x)\n",
                advanced, advanceSeconds, advanceFps, advanceFps / kFps);
    std::printf("advanced and drawn (first %ld frames): %.1f fps; advancing alone is %.0fx faster\n", drawn,
                drawnFps, advanceFps / drawnFps);
    return 0;
}
