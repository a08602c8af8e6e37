// xmotool render against the player's window: the same film at the same
// ticks gives the same pixels, so a rendered frame is what the audience sees.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <vector>

#include "app/frame_capture.h"
#include "app/gl_setup.h"
#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/render_options.h"
#include "support/gl_window.h"
#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

constexpr int kFps = 10;
// The title over the whole set at 6 s, bricks falling at 20 s.
constexpr long kFrames[] = {60, 200};

const std::string kDemoDir = std::string(XMO_SOURCE_DIR) + "/assets/demo";

// The requested frames played in this process's window, as xmotool render
// plays them: every frame from 0, on the same fixed-step clock. Then the
// film is read again in place, as a seek back does, and its first requested
// frame reached once more without drawing the frames before: the last
// picture returned.
std::vector<std::vector<std::uint8_t>> playInWindow() {
    const fs::path testDir = fs::current_path();
    fs::current_path(kDemoDir);  // the film names its files relative to its folder
    long frame = 0;
    std::ostringstream console;
    Player player([&frame] { return frameTicks(frame, kFps); }, console, console);
    player.sound.keepSilent();  // as xmotool render plays it
    PlayerMediaLoader media(console);
    EXPECT_TRUE(startPlayer(player, "BrikBasics.xmo", media));
    fs::current_path(testDir);

    std::vector<std::vector<std::uint8_t>> frames;
    for (const long wanted : kFrames) {
        for (;; ++frame) {
            renderFrame(player);
            if (frame == wanted) break;
        }
        glFinish();
        frames.push_back(readFramePixels(kScreenWidth, kScreenHeight));
        ++frame;
    }

    fs::current_path(kDemoDir);
    frame = 0;  // the clock starts again at the tick source's value
    EXPECT_TRUE(restartFilm(player, "BrikBasics.xmo", media));
    fs::current_path(testDir);
    for (; frame <= kFrames[0]; ++frame) advanceFrame(player);
    drawFrame(player);
    glFinish();
    frames.push_back(readFramePixels(kScreenWidth, kScreenHeight));
    stopPlayer(player);
    return frames;
}

TEST(OffscreenFrames, AreThePixelsOfThePlayersWindow) {
    std::string error;
    if (!test::ensureGlWindow(&error)) GTEST_SKIP() << "no GL window: " << error;
    const std::vector<std::vector<std::uint8_t>> window = playInWindow();
    ASSERT_EQ(window.size(), std::size(kFrames) + 1);
    EXPECT_TRUE(window.back() == window.front()) << "the film read again reaches the same frame";

    const std::string out = (fs::temp_directory_path() / ("xmo-offscreen-" + std::to_string(::getpid()))).string();
    test::ProcessOptions options;
    options.workingDir = kDemoDir;
    options.timeoutSeconds = 300;
    const test::ProcessResult rendered =
        test::runProcess({XMOTOOL_BIN, "render", "BrikBasics.xmo", "--fps", std::to_string(kFps), "--at", "6,20",
                          "--out", out},
                         options);
    ASSERT_EQ(rendered.exitCode, 0) << rendered.err;

    for (std::size_t i = 0; i < std::size(kFrames); ++i) {
        const test::Picture offscreen = test::readPng(framePath(out, kFrames[i]));
        ASSERT_EQ(offscreen.width, kScreenWidth);
        ASSERT_EQ(offscreen.height, kScreenHeight);
        // Alpha is left out: the captured frame is opaque whatever the clear alpha.
        long differing = 0, lit = 0;
        for (std::size_t p = 0; p < offscreen.rgba.size(); p += 4) {
            bool same = true;
            for (std::size_t c = 0; c < 3; ++c) same = same && offscreen.rgba[p + c] == window[i][p + c];
            if (!same) ++differing;
            if (window[i][p] + window[i][p + 1] + window[i][p + 2] > 0) ++lit;
        }
        EXPECT_EQ(differing, 0) << "frame " << kFrames[i] << ": " << differing << " pixels differ; offscreen in "
                                << out;
        EXPECT_GT(lit, kScreenWidth * kScreenHeight / 20) << "frame " << kFrames[i] << " shows the film";
    }
    if (!HasFailure()) fs::remove_all(out);
}

}  // namespace
}  // namespace xmo
