// xmotool render --hash: a line per frame that stays the same from run to
// run and fingerprints exactly the picture the frame's PNG file holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
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

}  // namespace
}  // namespace xmo
