// xmotool render --hash: a line per frame that stays the same from run to
// run, fingerprints exactly the picture the frame's PNG file holds, and does
// not depend on whether the frames before it were drawn.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "app/render_options.h"
#include "base/sha256.h"
#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

test::ProcessResult renderDemo(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {XMOTOOL_BIN, "render", "BrikBasics.xmo", "--fps", "10", "--at", "9,16"};
    argv.insert(argv.end(), args.begin(), args.end());
    test::ProcessOptions options;
    options.workingDir = std::string(XMO_SOURCE_DIR) + "/assets/demo";
    options.timeoutSeconds = 300;
    return test::runProcess(argv, options);
}

TEST(FrameHashes, AreTheSameEveryRunAndHashThePngPixels) {
    const test::ProcessResult first = renderDemo({"--hash"});
    const test::ProcessResult second = renderDemo({"--hash"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_EQ(first.out, second.out);

    const std::string folder = (fs::temp_directory_path() / ("xmo-hash-" + std::to_string(::getpid()))).string();
    const test::ProcessResult pngs = renderDemo({"--out", folder});
    ASSERT_EQ(pngs.exitCode, 0) << pngs.err;

    const std::regex line("(\\d+) (\\d+\\.\\d{3}) ([0-9a-f]{64})");
    const struct {
        long frame;
        const char* time;
    } expected[] = {{90, "9.000"}, {160, "16.000"}};
    std::istringstream lines(first.out);
    for (const auto& e : expected) {
        std::string text;
        std::smatch match;
        ASSERT_TRUE(std::getline(lines, text));
        ASSERT_TRUE(std::regex_match(text, match, line)) << text;
        EXPECT_EQ(std::stol(match[1]), e.frame);
        EXPECT_EQ(match[2], e.time);
        const test::Picture picture = test::readPng(framePath(folder, e.frame));
        ASSERT_EQ(picture.rgba.size(), 800u * 600u * 4u);
        EXPECT_EQ(match[3], sha256Hex(picture.rgba.data(), picture.rgba.size())) << "frame " << e.frame;
    }
    std::string rest;
    EXPECT_FALSE(std::getline(lines, rest)) << "one line per frame: " << rest;
    fs::remove_all(folder);
}

// Frame number to hash, from the lines of a --hash run.
std::map<long, std::string> hashesOf(const std::string& out) {
    std::map<long, std::string> hashes;
    std::istringstream lines(out);
    long frame = 0;
    std::string time, hash;
    while (lines >> frame >> time >> hash) hashes[frame] = hash;
    return hashes;
}

TEST(FrameHashes, AFrameReachedWithoutDrawingTheOnesBeforeIsTheFrameDrawnAfterAllOfThem) {
    const struct {
        const char* folder;
        const char* film;
        const char* times;  // the last of them ends the run that draws every frame
    } cases[] = {
        // A frame in every sequence: the title caption, the opening's fade,
        // bricks falling, the wall toppling, a swinging join, the countdown,
        // smoke particles at lift-off and the credits.
        {"assets/demo", "BrikBasics.xmo", "6,9.5,16,26.4,43.2,50,58,67.5"},
        {"docs/examples", "bspline.xmo", "3.3,5.9"},
        {"docs/examples", "camera-path.xmo", "4.1,7.9"},
        {"docs/examples", "caption.xmo", "2.5,4.9"},
        {"docs/examples", "commands.xmo", "3.1,5.9"},
        {"docs/examples", "contact.xmo", "2.6,4.9"},
        {"docs/examples", "fades.xmo", "4.7,9.3"},
        {"docs/examples", "falling-brick.xmo", "2.2,4.9"},
        {"docs/examples", "join.xmo", "3.9,7.9"},
        {"docs/examples", "keyframes.xmo", "3.3,5.9"},
        {"docs/examples", "looping.xmo", "4.4,9.9"},
        {"docs/examples", "model-transform.xmo", "5.1,9.9"},
        {"docs/examples", "music.xmo", "3,5.9"},
        {"docs/examples", "particles.xmo", "3.5,7.9"},
        {"docs/examples", "scene-object.xmo", "2.5,4.9"},
        {"docs/examples", "tile.xmo", "2.4,4.9"},
    };
    for (const auto& c : cases) {
        test::ProcessOptions options;
        options.workingDir = std::string(XMO_SOURCE_DIR) + "/" + c.folder;
        options.timeoutSeconds = 600;
        const auto render = [&](const std::vector<std::string>& frames) {
            std::vector<std::string> argv = {XMOTOOL_BIN, "render", c.film, "--fps", "10", "--hash"};
            argv.insert(argv.end(), frames.begin(), frames.end());
            const test::ProcessResult run = test::runProcess(argv, options);
            EXPECT_EQ(run.exitCode, 0) << c.film << ": " << run.err;
            return hashesOf(run.out);
        };
        const std::map<long, std::string> reached = render({"--at", c.times});
        ASSERT_FALSE(reached.empty()) << c.film;
        const std::map<long, std::string> drawn = render({"--frames", "0-" + std::to_string(reached.rbegin()->first)});
        for (const auto& [frame, hash] : reached) {
            const auto found = drawn.find(frame);
            ASSERT_NE(found, drawn.end()) << c.film << " frame " << frame;
            EXPECT_EQ(found->second, hash) << c.film << " frame " << frame;
        }
    }
}

}  // namespace
}  // namespace xmo
