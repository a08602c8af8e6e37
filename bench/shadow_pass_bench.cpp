// Frames of a film of 20 bricks over the demo's terrain, played offscreen the
// way xmotool render plays them: whole frames per second with the bricks
// casting shadows, against the same film with castshadow off (the two lit
// passes and the stencil clear still run, the volumes do not), measured in
// the same run. Also counts the calls of operator new per frame once the
// film has warmed up, which must be none.
//
// The share of instructions spent in the program's own code, for the
// record: bench/shadow_pass_profile.sh runs a few frames under callgrind.
//
// Usage: shadow_pass_bench [FRAMES] [--casting-only]
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <GL/gl.h>

#include "app/gl_setup.h"
#include "app/offscreen_context.h"
#include "app/player.h"
#include "app/render_options.h"
#include "app/tool_media_loader.h"
#include "new_counter.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFps = 30;
constexpr int kWarmUpFrames = 30;
constexpr int kBricks = 20;

// Twenty bricks of four sizes in a 5 x 4 grid over the flat middle of the
// ground, every other one floating, so that shadows fall on the ground and
// on other bricks; a lamp scene switches the light on. The camera circles
// slowly so that the sky scrolls and the volumes change every frame.
std::string filmText(const std::string& lamp, bool castshadow) {
    std::ostringstream film;
    film << "<Movie>\n <Objects>\n  <Object id=\"100\" filename=\"" << lamp << "\" objectname=\"Lamp\"/>\n";
    const char* sizes[] = {"2 3 2", "4 3 2", "2 6 2", "6 1 6"};
    for (int i = 0; i < 4; ++i)
        film << "  <BrikObject id=\"" << i + 1 << "\" size=\"" << sizes[i] << "\" color=\"" << 2 + 3 * i << "\"/>\n";
    film << " </Objects>\n <Models>\n";
    for (int i = 0; i < kBricks; ++i) {
        const float x = -2.0f + (i % 5), z = -1.5f + (i / 5), y = 0.3f + (i % 2) * 0.8f;
        film << "  <Model id=\"" << 10 + i << "\" objectid=\"" << 1 + i % 4 << "\" position=\"" << x << ' ' << y << ' '
             << z << "\" castshadow=\"" << (castshadow ? "true" : "false") << "\"/>\n";
    }
    film << " </Models>\n <Sequence duration=\"1000\">\n  <Camera>\n   <CameraElement duration=\"1000\">\n"
            "    <LookAt><Point position=\"0 0.5 0\"/></LookAt>\n"
            "    <Eye><Point position=\"6 4 6\"/><Point position=\"-6 4 6\"/><Point position=\"-6 4 -6\"/>"
            "<Point position=\"6 4 -6\"/></Eye>\n   </CameraElement>\n  </Camera>\n  <XFunctions>\n"
            "   <XFunction xfunctiontype=\"enablemodels\" timer1=\"0\" modelids=\"";
    for (int i = 0; i < kBricks; ++i) film << (i ? " " : "") << 10 + i;
    film << "\"/>\n  </XFunctions>\n </Sequence>\n</Movie>\n";
    return film.str();
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

struct Result {
    double wallPerFrame = 0.0;  // seconds
    double cpuPerFrame = 0.0;
    double allocationsPerFrame = 0.0;
};

// Plays `frames` frames after the warm-up; the player reads the world's
// images from the working directory, the demo's folder.
Result play(const std::string& filmPath, int frames) {
    long frame = 0;
    std::ostringstream console;
    xmo::Player player([&frame] { return xmo::frameTicks(frame, kFps); }, console, console);
    xmo::ToolMediaLoader media;
    player.sound.keepSilent();  // pictures only, as xmotool render plays them
    if (!xmo::startPlayer(player, filmPath, media)) {
        std::fprintf(stderr, "shadow_pass_bench: the film did not start\n");
        std::exit(1);
    }
    for (; frame < kWarmUpFrames; ++frame) {
        xmo::renderFrame(player);
        glFinish();
    }
    const long newCallsBefore = xmo::bench::operatorNewCalls();
    const double cpuBefore = cpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    for (; frame < kWarmUpFrames + frames; ++frame) {
        xmo::renderFrame(player);
        glFinish();  // as the swap of a played frame would wait for it
    }
    Result r;
    r.wallPerFrame = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count() / frames;
    r.cpuPerFrame = (cpuSeconds() - cpuBefore) / frames;
    r.allocationsPerFrame = static_cast<double>(xmo::bench::operatorNewCalls() - newCallsBefore) / frames;
    xmo::stopPlayer(player);
    return r;
}

void print(const char* name, const Result& r) {
    std::printf("%-22s %8.1f fps %10.2f ms/frame %10.2f cpu ms/frame %8.2f new/frame\n", name, 1.0 / r.wallPerFrame,
                r.wallPerFrame * 1e3, r.cpuPerFrame * 1e3, r.allocationsPerFrame);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    const bool castingOnly = argc > 2 && std::string(argv[2]) == "--casting-only";
    if (frames <= 0) {
        std::fprintf(stderr, "usage: shadow_pass_bench [FRAMES] [--casting-only]\n");
        return 2;
    }
    const fs::path dir = fs::temp_directory_path() / ("xmo-shadow-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string lamp = (dir / "lamp.x3d").string();
    std::ofstream(lamp) << "<X3D><Scene><Group DEF=\"Lamp\"/></Scene></X3D>\n";
    for (bool castshadow : {true, false})
        std::ofstream(dir / (castshadow ? "casting.xmo" : "plain.xmo")) << filmText(lamp, castshadow);

    xmo::OffscreenContext context;
    std::string error;
    if (!context.open(xmo::kScreenWidth, xmo::kScreenHeight, 1, error)) {
        std::fprintf(stderr, "shadow_pass_bench: %s\n", error.c_str());
        return 1;
    }
    fs::current_path(XMO_DEMO_DIR);

    std::printf("%d bricks over the demo terrain, %d frames after %d of warm-up, offscreen\n", kBricks, frames,
                kWarmUpFrames);
    const Result casting = play((dir / "casting.xmo").string(), frames);
    print("casting shadows", casting);
    if (!castingOnly) {
        const Result plain = play((dir / "plain.xmo").string(), frames);
        print("castshadow off", plain);
        std::printf("casting / off: %.2f wall, %.2f cpu\n", casting.wallPerFrame / plain.wallPerFrame,
                    casting.cpuPerFrame / plain.cpuPerFrame);
    }
    fs::remove_all(dir);
    return casting.allocationsPerFrame == 0.0 ? 0 : 1;
}
