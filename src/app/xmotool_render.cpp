// xmotool render: plays a film on a fixed-step clock in an offscreen Mesa
// context and writes chosen frames as PNG files. Every frame up to the last
// requested one is rendered, so commands, animations and physics advance
// exactly as in playback.
#include <GL/osmesa.h>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <vector>

#include "app/frame_capture.h"
#include "app/fixed_step.h"
#include "app/gl_setup.h"
#include "app/playback_ticks.h"
#include "app/player.h"
#include "app/render_options.h"
#include "app/tool_media_loader.h"
#include "app/xmotool_commands.h"
#include "movie/movie_loader.h"

namespace xmo {

namespace {

class OffscreenContext {
public:
    bool open(std::string& error) {
        // 16 depth bits and 8 stencil bits, as the player's window asks for.
        context_ = OSMesaCreateContextExt(OSMESA_RGBA, 16, 8, 0, nullptr);
        if (!context_) {
            error = "cannot create an offscreen GL context";
            return false;
        }
        buffer_.resize(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 4);
        if (!OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, kScreenWidth, kScreenHeight)) {
            error = "cannot bind the offscreen GL buffer";
            return false;
        }
        OSMesaPixelStore(OSMESA_Y_UP, 1);
        return true;
    }
    ~OffscreenContext() {
        if (context_) OSMesaDestroyContext(context_);
    }

private:
    OSMesaContext context_ = nullptr;
    std::vector<unsigned char> buffer_;
};

}  // namespace

int runRender(int argc, char** argv) {
    std::string error;
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::optional<RenderOptions> options = parseRenderOptions(args, error);
    if (!options) {
        std::cerr << "xmotool render: " << error << "\n";
        return 2;
    }
    std::error_code fsError;
    std::filesystem::create_directories(options->outputDir, fsError);
    if (fsError) {
        std::cerr << "xmotool render: " << options->outputDir << ": " << fsError.message() << "\n";
        return 1;
    }

    OffscreenContext context;
    if (!context.open(error)) {
        std::cerr << "xmotool render: " << error << "\n";
        return 1;
    }

    PlaybackTicks ticks;
    Player player([&ticks] { return ticks.now(); }, std::cerr, std::cerr);
    ToolMediaLoader media;
    try {
        startPlayer(player, options->moviePath, media);
    } catch (const LoadError& e) {
        std::cerr << describeLoadError(e) << "\n";
        return 3;
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

}  // namespace xmo
