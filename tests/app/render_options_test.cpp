#include "app/render_options.h"

#include <gtest/gtest.h>

#include "app/movie_clock.h"
#include "app/video_parts.h"

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
        int width, height;  // of --size
        int samples;        // the output's default unless --samples
        int partIndex, partCount, jobs;  // part 0/0: none
    } cases[] = {
        {{"m.xmo", "--video", "film.mp4"}, RenderOutput::Video, 25, {}, 0.0, std::nullopt, VideoFormat::Mp4, 800, 600,
         4, 0, 0, 1},
        {{"m.xmo", "--video", "Film.WEBM", "--fps", "30", "--from", "1.5", "--to", "4", "--size", "1920x1080",
          "--samples", "1", "--part", "2/3"},
         RenderOutput::Video, 30, {}, 1.5, 4.0, VideoFormat::WebM, 1920, 1080, 1, 2, 3, 1},
        {{"m.xmo", "--video", "f.mp4", "--jobs", "4", "--samples", "8"}, RenderOutput::Video, 25, {}, 0.0,
         std::nullopt, VideoFormat::Mp4, 800, 600, 8, 0, 0, 4},
        {{"m.xmo", "--hash"}, RenderOutput::Hashes, 25, {}, 0.0, std::nullopt, VideoFormat::Mp4, 800, 600, 1, 0, 0, 1},
        {{"m.xmo", "--hash", "--at", "1,2", "--fps", "10", "--size", "801x3"}, RenderOutput::Hashes, 10, {10, 20}, 0.0,
         std::nullopt, VideoFormat::Mp4, 801, 3, 1, 0, 0, 1},
        {{"m.xmo", "--to", "2", "--hash", "--samples", "4"}, RenderOutput::Hashes, 25, {}, 0.0, 2.0, VideoFormat::Mp4,
         800, 600, 4, 0, 0, 1},
        {{"m.xmo", "--at", "1", "--out", "d", "--size", "640x480"}, RenderOutput::Pngs, 25, {25}, 0.0, std::nullopt,
         VideoFormat::Mp4, 640, 480, 1, 0, 0, 1},
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
        EXPECT_EQ(o->size.width, c.width);
        EXPECT_EQ(o->size.height, c.height);
        EXPECT_EQ(o->samples, c.samples);
        EXPECT_EQ(o->part ? o->part->index : 0, c.partIndex);
        EXPECT_EQ(o->part ? o->part->count : 0, c.partCount);
        EXPECT_EQ(o->jobs, c.jobs);
        if (c.output == RenderOutput::Video) {
            EXPECT_EQ(o->videoPath, c.args[2]);
            EXPECT_EQ(o->videoFormat, c.format);
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
        {"m.xmo", "--hash", "--size", "3x3"},                       // no 4:3 pixel
        {"m.xmo", "--hash", "--size", "70000x600"},
        {"m.xmo", "--video", "a.mp4", "--samples", "3"},
        {"m.xmo", "--video", "a.mp4", "--samples", "0"},
        {"m.xmo", "--video", "a.mp4", "--part", "0/2"},
        {"m.xmo", "--video", "a.mp4", "--part", "3/2"},
        {"m.xmo", "--video", "a.mp4", "--part", "2"},
        {"m.xmo", "--hash", "--part", "1/2"},                       // parts are videos
        {"m.xmo", "--video", "a.mp4", "--jobs", "0"},
        {"m.xmo", "--at", "1", "--out", "d", "--jobs", "2"},
        {"m.xmo", "--video", "a.mp4", "--jobs", "2", "--part", "1/2"},
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

TEST(RenderOptions, TheFilmKeepsItsFourByThreePictureCentredInAnyFrame) {
    const struct {
        FrameSize frame;
        FrameArea area;
    } cases[] = {
        {{800, 600}, {0, 0, 800, 600}},
        {{1920, 1080}, {240, 0, 1440, 1080}},  // bars left and right
        {{800, 800}, {0, 100, 800, 600}},      // above and below
        {{1000, 700}, {34, 0, 932, 699}},      // whole 4:3 steps
        {{4, 3}, {0, 0, 4, 3}},
    };
    for (const auto& c : cases) {
        const FrameArea a = filmArea(c.frame);
        EXPECT_EQ((std::vector<int>{a.x, a.y, a.width, a.height}),
                  (std::vector<int>{c.area.x, c.area.y, c.area.width, c.area.height}))
            << c.frame.width << "x" << c.frame.height;
    }
}

// The parts of a span, each one run of it, together make the span, in order.
TEST(RenderOptions, PartsCutASpanIntoNearlyEqualRuns) {
    std::vector<long> span;
    for (long n = 100; n < 140; ++n) span.push_back(n);
    const struct {
        int count;
        std::vector<long> sizes;  // empty: the parts would be too short
    } cases[] = {{1, {40}}, {3, {13, 13, 14}}, {5, std::vector<long>(5, 8)}, {6, {}}};
    for (const auto& c : cases) {
        std::vector<long> joined, sizes;
        std::string error;
        for (int k = 1; k <= c.count; ++k) {
            const auto part = partFrames(span, {k, c.count}, error);
            if (!part) break;
            sizes.push_back(static_cast<long>(part->size()));
            joined.insert(joined.end(), part->begin(), part->end());
        }
        if (c.sizes.empty()) {
            EXPECT_FALSE(error.empty()) << c.count << " parts";
            continue;
        }
        EXPECT_EQ(sizes, c.sizes) << c.count << " parts";
        EXPECT_EQ(joined, span) << c.count << " parts";
    }
}

TEST(RenderOptions, APartsCommandLineIsTheExportsWithItsPartAndFile) {
    const std::vector<std::string> args = {"m.xmo", "--jobs", "3", "--to", "4", "--video", "film.mp4", "--out", "x"};
    EXPECT_EQ(partArguments(args, {2, 3}, "parts/part-2.mp4"),
              (std::vector<std::string>{"m.xmo", "--to", "4", "--video", "parts/part-2.mp4", "--out", "x", "--part",
                                        "2/3"}));
}

// The join takes parts 1 to N of one export, in order, each whole but the
// last, which the film's exit command may have ended early.
TEST(VideoParts, TheJoinRefusesAnythingButTheWholePartsOfOneExportInOrder) {
    const auto part = [](int k, int n, long first, long last, long frames, int fps = 25) {
        const PartTag tag{{k, n}, first, last, 0, 99, fps};
        EXPECT_EQ(parsePartTag(formatPartTag(tag))->last, last);
        return FoundPart{"p" + std::to_string(k), parsePartTag(formatPartTag(tag)), frames};
    };
    const FoundPart one = part(1, 3, 0, 32, 33), two = part(2, 3, 33, 65, 33), three = part(3, 3, 66, 99, 34);
    FoundPart untagged = two;
    untagged.tag.reset();
    const struct {
        std::vector<FoundPart> parts;
        const char* problem;  // nullptr: joined
    } cases[] = {
        {{one, two, three}, nullptr},
        {{one, two, part(3, 3, 66, 99, 20)}, nullptr},  // the exit command ended the film in the last part
        {{one, three, two}, "p3: part 3, given as part 2"},
        {{one, two}, "p1: part 1 of 3, but 2 part(s) are given"},
        {{one, part(2, 3, 33, 65, 30), three}, "p2: holds 30 frame(s) of the 33"},
        {{one, part(2, 3, 33, 65, 33, 30), three}, "p2: a part of another export"},
        {{one, part(2, 3, 34, 65, 32), three}, "p2: begins at frame 34, not after frame 32"},
        {{one, untagged, three}, "p2: not a part written by xmotool render --part"},
        {{}, "no part given"},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> problem = findPartsProblem(c.parts);
        if (!c.problem) {
            EXPECT_FALSE(problem) << *problem;
            continue;
        }
        ASSERT_TRUE(problem) << c.problem;
        EXPECT_EQ(problem->find(c.problem), 0u) << *problem;
    }
    for (const char* text : {"xmotool part 2/1 frames 0-9 of 0-9 at 25 fps", "xmotool part 1/1 frames 0-9 of 0-9",
                             "xmotool part 1/1 frames 5-9 of 6-9 at 25 fps", "comment"})
        EXPECT_FALSE(parsePartTag(text)) << text;
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
