// xmotool-render: `xmotool render`, a program of its own so that the other
// subcommands need no GL driver. It plays a film on a fixed-step clock in an
// offscreen context and writes chosen frames as PNG files. Every frame up to
// the last requested one is rendered, so commands, animations and physics
// advance exactly as in playback.
#include <GL/gl.h>

#include <filesystem>
#include <iostream>
#include <vector>

#include "app/fixed_step.h"
#include "app/frame_capture.h"
#include "app/gl_setup.h"
#include "app/offscreen_context.h"
#include "app/playback_ticks.h"
#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/render_options.h"
#include "movie/movie_loader.h"

int main(int argc, char** argv) {
    using namespace xmo;
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::optional<RenderOptions> options = parseRenderOptions(args, error);
    if (!options) {
        std::cerr << "xmotool render: " << error << "\n";
        return 2;
    }
    OffscreenContext context;
    if (!context.open(kScreenWidth, kScreenHeight, error)) {
        std::cerr << "xmotool render: " << error << "\n";
        return 1;
    }

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
    // Only now: a refused film leaves no empty folder behind.
    std::error_code fsError;
    std::filesystem::create_directories(options->outputDir, fsError);
    if (fsError) {
        std::cerr << "xmotool render: " << options->outputDir << ": " << fsError.message() << "\n";
        stopPlayer(player);
        return 1;
    }

    std::size_t next = 0;
    bool saved = true;
    const long lastFrame = playFixedSteps(player, ticks, options->fps, options->frames.back(), [&](long frame) {
        if (frame != options->frames[next]) return true;
        glFinish();
        const std::string path = framePath(options->outputDir, frame);
        saved = saveFramePng(path, kScreenWidth, kScreenHeight, error);
        if (!saved) return false;
        std::cout << path << "\n";
        ++next;
        return true;
    });
    stopPlayer(player);
    if (!saved) {
        std::cerr << "xmotool render: " << error << "\n";
        return 1;
    }
    if (next < options->frames.size()) {
        std::cerr << "xmotool render: the film ended by its exit command at frame " << lastFrame << "; "
                  << options->frames.size() - next << " requested frame(s) after it were not rendered\n";
        return 1;
    }
    return 0;
}
