#include "app/render_options.h"

#include <gtest/gtest.h>

#include "app/movie_clock.h"

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
    EXPECT_EQ(o->output, RenderOutput::Pngs);
    EXPECT_EQ(o->fps, 25);
    EXPECT_EQ(o->outputDir, "frames");
    EXPECT_EQ(o->frames, (std::vector<long>{13, 26, 50}));  // 12.5 rounds away from zero
}

TEST(RenderOptions, FrameRange) {
    const auto o = parse({"--frames", "3-6", "m.xmo", "--out", "d", "--fps", "10"});
    ASSERT_TRUE(o);
    EXPECT_EQ(o->frames, (std::vector<long>{3, 4, 5, 6}));
}

TEST(RenderOptions, VideoAndHashOutputs) {
    const struct {
        std::vector<std::string> args;
        RenderOutput output;
        int fps;
        std::vector<long> frames;
        double from;
        std::optional<double> to;
        VideoFormat format;
        int width;  // of --size; 0 when not given
    } cases[] = {
        {{"m.xmo", "--video", "film.mp4"}, RenderOutput::Video, 25, {}, 0.0, std::nullopt, VideoFormat::Mp4, 0},
        {{"m.xmo", "--video", "Film.WEBM", "--fps", "30", "--from", "1.5", "--to", "4", "--size", "640x480"},
         RenderOutput::Video, 30, {}, 1.5, 4.0, VideoFormat::WebM, 640},
        {{"m.xmo", "--hash"}, RenderOutput::Hashes, 25, {}, 0.0, std::nullopt, VideoFormat::Mp4, 0},
        {{"m.xmo", "--hash", "--at", "1,2", "--fps", "10"}, RenderOutput::Hashes, 10, {10, 20}, 0.0, std::nullopt,
         VideoFormat::Mp4, 0},
        {{"m.xmo", "--to", "2", "--hash"}, RenderOutput::Hashes, 25, {}, 0.0, 2.0, VideoFormat::Mp4, 0},
    };
    for (const auto& c : cases) {
        std::string error;
        const auto o = parse(c.args, &error);
        ASSERT_TRUE(o) << ::testing::PrintToString(c.args) << ": " << error;
        EXPECT_EQ(o->output, c.output);
        EXPECT_EQ(o->fps, c.fps);
        EXPECT_EQ(o->frames, c.frames);
        EXPECT_EQ(o->from, c.from);
        EXPECT_EQ(o->to, c.to);
        if (c.output == RenderOutput::Video) {
            EXPECT_EQ(o->videoPath, c.args[2]);
            EXPECT_EQ(o->videoFormat, c.format);
            EXPECT_EQ(o->videoSize ? o->videoSize->width : 0, c.width);
        }
    }
}

TEST(RenderOptions, UsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"m.xmo", "--fps", "25", "--out", "d"},                                  // no frames
        {"m.xmo", "--fps", "25", "--at", "1", "--frames", "1-2", "--out", "d"},  // both
        {"m.xmo", "--fps", "0", "--at", "1", "--out", "d"},
        {"m.xmo", "--fps", "x", "--at", "1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1,,2", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "-1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--frames", "5-2", "--out", "d"},
        {"m.xmo", "--fps", "25", "--frames", "5", "--out", "d"},
        {"m.xmo", "--fps", "25", "--frames", "-1-2", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1", "--out"},
        {"m.xmo", "other.xmo", "--fps", "25", "--at", "1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1", "--out", "d", "--bogus"},
        {"m.xmo", "--fps", "1000", "--at", "5000", "--out", "d"},  // beyond six digits
        {"m.xmo", "--fps", "25", "--at", "0x10", "--out", "d"},   // decimal seconds only
        {"m.xmo", "--fps", "25", "--at", "inf", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1e1", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1.2.3", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1", "--at", "2", "--out", "d"},
        {"m.xmo", "--fps", "25", "--frames", "1-2", "--frames", "3-4", "--out", "d"},
        {"m.xmo", "--fps", "25", "--at", "1", "--out", "d", "--out", "e"},
        {"m.xmo", "--fps", "25", "--fps", "30", "--at", "1", "--out", "d"},  // given twice
        {"m.xmo", "--at", "1", "--out", "d", "--hash"},             // two outputs
        {"m.xmo", "--video", "a.mp4", "--hash"},
        {"m.xmo", "--video", "a.avi"},                              // no known container
        {"m.xmo", "--video", ".mp4"},
        {"m.xmo", "--video", "a.mp4", "--at", "1"},                 // a video is a span
        {"m.xmo", "--video", "a.mp4", "--from", "2", "--to", "2"},  // empty span
        {"m.xmo", "--video", "a.mp4", "--from", "nan"},
        {"m.xmo", "--video", "a.mp4", "--size", "641x480"},         // odd side
        {"m.xmo", "--video", "a.mp4", "--size", "640"},
        {"m.xmo", "--video", "a.mp4", "--size", "0x0"},
        {"m.xmo", "--at", "1", "--out", "d", "--size", "640x480"},  // size without video
        {"m.xmo", "--from", "1", "--out", "d"},
        {"m.xmo", "--hash", "--hash"},
        {"m.xmo", "--hash", "--frames", "1-2", "--to", "3"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(parse(args, &error)) << ::testing::PrintToString(args);
        EXPECT_FALSE(error.empty());
    }
}

TEST(RenderOptions, SpansHoldTheirLengthTimesTheFrameRate) {
    const struct {
        double from, to;
        int fps;
        long first, count;  // count 0: no frame, an error
    } cases[] = {
        {0.0, 3.0, 25, 0, 75},
        {1.0, 2.5, 10, 10, 15},
        {0.0, 44.0, 25, 0, 1100},
        {0.02, 0.03, 25, 1, 0},          // rounds to the same frame
        {0.0, 40000.0, 25, 0, 1000000},  // up to frame 999999
        {0.0, 40000.04, 25, 0, 0},       // one past it
    };
    for (const auto& c : cases) {
        std::string error;
        const auto frames = spanFrames(c.from, c.to, c.fps, error);
        if (c.count == 0) {
            EXPECT_FALSE(frames) << c.from << " to " << c.to;
            EXPECT_FALSE(error.empty());
            continue;
        }
        ASSERT_TRUE(frames) << error;
        ASSERT_EQ(static_cast<long>(frames->size()), c.count);
        EXPECT_EQ(frames->front(), c.first);
        EXPECT_EQ(frames->back(), c.first + c.count - 1);
    }
}

TEST(RenderOptions, TicksAndNames) {
    EXPECT_EQ(frameTicks(0, 30), 0u);
    EXPECT_EQ(frameTicks(1, 30), 33u);
    EXPECT_EQ(frameTicks(30, 30), 1000u);
    EXPECT_EQ(frameTicks(75, 25), 3000u);
    EXPECT_EQ(framePath("out", 42), "out/frame-000042.png");
}

// The sound track is placed from frameFilmTime without playing the film: it
// must be the film time the clock of a render run reports, frame by frame.
TEST(RenderOptions, FrameFilmTimeIsTheClocksFilmTime) {
    for (const int fps : {7, 25, 30}) {
        long frame = 0;
        MovieClock clock([&] { return frameTicks(frame, fps); });
        clock.start();
        for (; frame < 20000; ++frame) {
            clock.update();
            ASSERT_EQ(frameFilmTime(frame, fps), clock.filmTime()) << "frame " << frame << " at " << fps << " fps";
        }
    }
}

}  // namespace
}  // namespace xmo
