#include "app/render_options.h"

#include <gtest/gtest.h>

namespace xmo {
namespace {

std::optional<RenderOptions> parse(std::vector<std::string> args, std::string* errorOut = nullptr) {
    std::string error;
    auto options = parseRenderOptions(args, error);
    if (errorOut) *errorOut = error;
    return options;
}

TEST(RenderOptions, TimesBecomeRoundedSortedFrames) {
    const auto o = parse({"film.xmo", "--fps", "25", "--at", "2,0.5,1.02,0.5", "--out", "frames"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->moviePath, "film.xmo");
    EXPECT_EQ(o->fps, 25);
    EXPECT_EQ(o->outputDir, "frames");
    EXPECT_EQ(o->frames, (std::vector<long>{13, 26, 50}));  // 12.5 rounds away from zero
}

TEST(RenderOptions, FrameRange) {
    const auto o = parse({"--frames", "3-6", "m.xmo", "--out", "d", "--fps", "10"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->frames, (std::vector<long>{3, 4, 5, 6}));
}

TEST(RenderOptions, UsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"m.xmo", "--fps", "25", "--out", "d"},                           // no frames
        {"m.xmo", "--fps", "25", "--at", "1", "--frames", "1-2", "--out", "d"},  // both
        {"m.xmo", "--fps", "0", "--at", "1", "--out", "d"},
        {"m.xmo", "--fps", "x", "--at", "1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1,,2", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "-1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--frames", "5-2", "--out", "d"},
        {"m.xmo", "--fps", "25", "--frames", "5", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1", "--out"},
        {"m.xmo", "other.xmo", "--fps", "25", "--at", "1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1", "--out", "d", "--bogus"},
        {"m.xmo", "--fps", "1000", "--at", "5000", "--out", "d"},  // beyond six digits
        {"m.xmo", "--fps", "25", "--at", "0x10", "--out", "d"},   // decimal seconds only
        {"m.xmo", "--fps", "25", "--at", "inf", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1e1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1.2.3", "--out", "d"},
        {"m.xmo", "--fps", "25", "--fps", "30", "--at", "1", "--out", "d"},  // given twice
        {"m.xmo", "--fps", "25", "--at", "1", "--at", "2", "--out", "d"},
        {"m.xmo", "--fps", "25", "--frames", "1-2", "--frames", "3-4", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1", "--out", "d", "--out", "e"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(parse(args, &error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty());
    }
}

TEST(RenderOptions, TicksAndNames) {
    EXPECT_EQ(frameTicks(0, 30), 0u);
    EXPECT_EQ(frameTicks(1, 30), 33u);
    EXPECT_EQ(frameTicks(30, 30), 1000u);
    EXPECT_EQ(frameTicks(75, 25), 3000u);
    EXPECT_EQ(framePath("out", 42), "out/frame-000042.png");
}

}  // namespace
}  // namespace xmo
