// The player's frame with physics: forty bricks dropped into a stack, played
// offscreen on the fixed-step clock, against the same film with its bricks
// not physical (the baseline, measured in the same run, the two alternated).
// Prints the ratio of the frame times and, once the first second has passed,
// the heap allocations per frame: calls of operator new (the program, the GL
// driver's C++ code included) and calls of ODE's own allocator, apart.
//
// Usage: player_frame_bench [ROUNDS [FRAMES]]   (7 rounds of 100 frames by default)
#include <GL/gl.h>
#include <ode/ode.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <iostream>
#include <sstream>
#include <vector>

#include "app/gl_setup.h"
#include "app/offscreen_context.h"
#include "app/player.h"
#include "app/render_options.h"
#include "app/tool_media_loader.h"
#include "engine_alloc_counter.h"
#include "new_counter.h"
#include "scene/brick_geometry.h"

namespace {

constexpr int kFps = 25;
constexpr long kFirstSecond = kFps;
constexpr int kBricks = 40;

// Two layers of bricks, the upper one shifted by half a brick: a physical
// film drops them a little onto the plane and onto each other, the baseline
// shows them standing where they come to rest, so both draw the same picture.
std::string stackFilm(bool physical) {
    xmo::Vec3f min, max;
    xmo::brickBounds({4, 3, 2}, min, max);
    const float h = max.e[1] - min.e[1];
    std::ostringstream film;
    film << "<Movie><Objects><BrikObject id='1' size='4 3 2' color='9'/></Objects><Models>";
    for (int i = 0; i < kBricks; ++i) {
        const int layer = i / (kBricks / 2), k = i % (kBricks / 2);
        const float drop = physical ? 0.1f * (layer + 1) : 0.0f;
        film << "<Model id='" << i << "' objectid='1' position='" << (k % 5) * 1.0f - 2.0f + 0.4f * layer << ' '
             << h / 2 + layer * h + drop << ' ' << (k / 5) * 0.6f - 0.9f << "' castshadow='true'"
             << (physical ? " physicalbased='true' mass='1'" : "") << "/>";
    }
    film << "</Models><Sequence duration='100'><Camera><CameraElement duration='100'>"
            "<LookAt><Point position='0 0.3 0'/></LookAt><Eye><Point position='0 3 6'/></Eye>"
            "</CameraElement></Camera><XFunctions>"
            "<XFunction xfunctiontype='enablemodels' timer1='0' frommodelid='0' tomodelid='"
         << kBricks - 1 << "'/></XFunctions></Sequence></Movie>";
    return film.str();
}

class FilmRun {
public:
    explicit FilmRun(const std::string& path)
        : player_([this] { return xmo::frameTicks(frame_, kFps); }, console_, console_) {
        if (!xmo::startPlayer(player_, path, media_)) throw std::runtime_error("the film's music did not start");
    }
    // Wall-clock seconds for the given number of frames.
    double play(long frames) {
        const auto start = std::chrono::steady_clock::now();
        for (long i = 0; i < frames; ++i, ++frame_) xmo::renderFrame(player_);
        glFinish();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

private:
    long frame_ = 0;
    std::ostringstream console_;
    xmo::ToolMediaLoader media_;
    xmo::Player player_;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
    const long framesPerRound = argc > 2 ? std::atol(argv[2]) : 100;
    if (rounds < 1 || framesPerRound < 1) {
        std::fprintf(stderr, "usage: player_frame_bench [ROUNDS [FRAMES]]\n");
        return 2;
    }
    xmo::bench::countEngineAllocations();
    xmo::OffscreenContext context;
    std::string error;
    if (!context.open(xmo::kScreenWidth, xmo::kScreenHeight, 1, error)) {
        std::fprintf(stderr, "player_frame_bench: %s\n", error.c_str());
        return 1;
    }
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("xmo-player-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (bool physical : {true, false})
        std::ofstream(dir / (physical ? "physical.xmo" : "still.xmo")) << stackFilm(physical);

    FilmRun physical((dir / "physical.xmo").string());
    FilmRun still((dir / "still.xmo").string());
    physical.play(kFirstSecond);
    still.play(kFirstSecond);

    const long newBefore = xmo::bench::operatorNewCalls();
    const long engineBefore = xmo::bench::engineAllocations();
    physical.play(framesPerRound);
    std::printf("allocations per frame after the first second, %d physical bricks: operator new %.2f, "
                "ODE's allocator %.2f\n",
                kBricks, static_cast<double>(xmo::bench::operatorNewCalls() - newBefore) / framesPerRound,
                static_cast<double>(xmo::bench::engineAllocations() - engineBefore) / framesPerRound);

    std::vector<double> withPhysics, without;
    for (int round = 0; round < rounds; ++round) {
        withPhysics.push_back(physical.play(framesPerRound) / framesPerRound);
        without.push_back(still.play(framesPerRound) / framesPerRound);
    }
    const double a = median(withPhysics), b = median(without);
    std::printf("frame time, %d bricks: physical %.3f ms, not physical %.3f ms, ratio %.2f\n", kBricks, a * 1e3,
                b * 1e3, a / b);
    fs::remove_all(dir);
    return 0;
}
