#include "app/player_options.h"
#include "app/seek_targets.h"

#include <gtest/gtest.h>

#include "movie/movie.h"

namespace xmo {
namespace {

struct GoodLine {
    std::vector<std::string> args;
    std::string movie;
    bool windowed, watch, paused;
    double start;  // -1: not given
    int sequence, fps;
};

TEST(PlayerOptions, GoodCommandLines) {
    const GoodLine cases[] = {
        {{}, "BrikBasics.xmo", false, false, false, -1, 0, 25},
        {{"a.xmo", "b.xmo"}, "a.xmo", false, false, false, -1, 0, 25},  // only the first film counts
        {{"-w", "film.xmo"}, "film.xmo", true, false, false, -1, 0, 25},
        {{"film.xmo", "--window"}, "film.xmo", true, false, false, -1, 0, 25},  // options after the film
        {{"--start", "12.5", "f.xmo"}, "f.xmo", false, false, false, 12.5, 0, 25},
        {{"--start=0", "f.xmo"}, "f.xmo", false, false, false, 0, 0, 25},
        {{"--sta=3", "--fps", "10"}, "BrikBasics.xmo", false, false, false, 3, 0, 10},  // unique prefix
        {{"--seq", "2", "--paused", "--watch"}, "BrikBasics.xmo", false, true, true, -1, 2, 25},
        {{"--watch", "--fps=50"}, "BrikBasics.xmo", false, true, false, -1, 0, 50},  // the step of reloads
        {{"--", "-odd.xmo", "--window"}, "-odd.xmo", false, false, false, -1, 0, 25},
        {{"-"}, "-", false, false, false, -1, 0, 25},
    };
    for (const GoodLine& c : cases) {
        const CommandLine line = parsePlayerCommandLine(c.args);
        const std::string where = ::testing::PrintToString(c.args);
        ASSERT_EQ(line.action, CommandLineAction::Play) << where << ": " << line.error;
        const PlayerOptions& o = line.options;
        EXPECT_EQ(o.moviePath, c.movie) << where;
        EXPECT_EQ(o.windowed, c.windowed) << where;
        EXPECT_EQ(o.watch, c.watch) << where;
        EXPECT_EQ(o.paused, c.paused) << where;
        EXPECT_EQ(o.startSeconds.value_or(-1), c.start) << where;
        EXPECT_EQ(o.sequence, c.sequence) << where;
        EXPECT_EQ(o.fps, c.fps) << where;
    }
}

TEST(PlayerOptions, HelpAndVersionWinOverTheRestButNotOverAnEarlierError) {
    EXPECT_EQ(parsePlayerCommandLine({"film.xmo", "--help", "--bogus"}).action, CommandLineAction::Help);
    EXPECT_EQ(parsePlayerCommandLine({"-wh"}).action, CommandLineAction::Help);
    EXPECT_EQ(parsePlayerCommandLine({"--vers"}).action, CommandLineAction::Version);
    EXPECT_EQ(parsePlayerCommandLine({"--bogus", "--help"}).action, CommandLineAction::UsageError);
}

TEST(PlayerOptions, UsageErrorsNameWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"-wx"}, "unknown option '-x'"},
        {{"--s", "1"}, "ambiguous option '--s'"},
        {{"--start"}, "--start needs a value"},
        {{"--start", "-1"}, "--start: expected seconds"},
        {{"--start", "abc"}, "--start: expected seconds"},
        {{"--start", "nan"}, "--start: expected seconds"},
        {{"--start", "1e9"}, "--start: expected seconds"},
        {{"--start="}, "--start: expected seconds"},
        {{"--sequence", "0"}, "--sequence: expected"},
        {{"--sequence", "1.5"}, "--sequence: expected"},
        {{"--fps", "0", "--start", "1"}, "--fps: expected"},
        {{"--fps", "1001", "--start", "1"}, "--fps: expected"},
        {{"--window=yes"}, "--window takes no value"},
        {{"--start", "1", "--sequence", "2"}, "cannot be used together"},
        {{"--fps", "30", "film.xmo"}, "--fps sets the step"},
    };
    for (const auto& [args, message] : cases) {
        const CommandLine line = parsePlayerCommandLine(args);
        EXPECT_EQ(line.action, CommandLineAction::UsageError) << ::testing::PrintToString(args);
        EXPECT_NE(line.error.find(message), std::string::npos) << line.error;
        const std::string printed = usageErrorLine(line.error);
        EXPECT_EQ(printed.rfind("xmoplay: ", 0), 0u);
        EXPECT_EQ(printed.find('\n'), std::string::npos) << "one line";
        EXPECT_NE(printed.find("--help"), std::string::npos) << "the hint";
    }
}

TEST(PlayerOptions, ARelaunchKeepsTheAuthorsChoicesAndTheFilmTime) {
    PlayerOptions o = parsePlayerCommandLine({"-w", "--watch", "--fps", "30", "--sequence", "3"}).options;
    o.moviePath = "-film.xmo";  // a name only "--" lets through
    const CommandLine again = parsePlayerCommandLine(relaunchArguments(o, 12345, true));
    ASSERT_EQ(again.action, CommandLineAction::Play) << again.error;
    EXPECT_EQ(again.options.moviePath, "-film.xmo");
    EXPECT_TRUE(again.options.windowed);
    EXPECT_TRUE(again.options.watch);
    EXPECT_TRUE(again.options.paused);
    EXPECT_EQ(again.options.fps, 30);
    EXPECT_EQ(again.options.sequence, 0) << "the time replaces the sequence";
    EXPECT_DOUBLE_EQ(again.options.startSeconds.value_or(-1), 12.345);

    const CommandLine restart = parsePlayerCommandLine(relaunchArguments(PlayerOptions{}, 0, false));
    EXPECT_FALSE(restart.options.paused);
    EXPECT_FALSE(restart.options.windowed);
    EXPECT_DOUBLE_EQ(restart.options.startSeconds.value_or(-1), 0.0);
}

std::vector<std::unique_ptr<Sequence>> sequencesOf(std::initializer_list<float> durations) {
    std::vector<std::unique_ptr<Sequence>> list;
    for (float d : durations) {
        list.push_back(std::make_unique<Sequence>());
        list.back()->duration = d;
    }
    return list;
}

TEST(PlayerOptions, StartFrames) {
    const auto film = sequencesOf({2.0f, 3.0f, 0.01f, 4.0f});
    struct Case {
        std::vector<std::string> args;
        long frame;  // -1: no fixed-step start
    };
    const Case cases[] = {
        {{}, -1},
        {{"--paused"}, 0},
        {{"--start", "1.2"}, 30},
        {{"--start", "1.23"}, 31},  // the nearest frame, as xmotool render --at
        {{"--start", "1", "--fps", "30"}, 30},
        {{"--start", "100"}, 2500},  // past the end: the timeline decides what shows
        {{"--sequence", "1"}, 0},
        // 2 s is the end of sequence 1 (a shared boundary goes to the earlier
        // one): the first frame inside sequence 2 is at 2.04 s.
        {{"--sequence", "2"}, 51},
        {{"--sequence", "2", "--fps", "10"}, 21},
        // 10 ms is shorter than a frame: its start time as it is.
        {{"--sequence", "3"}, 125},
        {{"--sequence", "4"}, 126},
    };
    for (const Case& c : cases) {
        const CommandLine line = parsePlayerCommandLine(c.args);
        ASSERT_EQ(line.action, CommandLineAction::Play) << line.error;
        std::string error;
        const std::optional<long> frame = findStartFrame(line.options, film, error);
        EXPECT_EQ(frame.value_or(-1), c.frame) << ::testing::PrintToString(c.args);
        EXPECT_EQ(error, "");
    }
    std::string error;
    PlayerOptions beyond;
    beyond.sequence = 5;
    EXPECT_FALSE(findStartFrame(beyond, film, error));
    EXPECT_EQ(error, "--sequence 5: the film has 4 sequence(s)");
}

TEST(PlayerOptions, SeekKeysAndTheTimeBarLandOnFramesOfTheFilm) {
    // Sequences start at 0, 2, 5 and 5.01 s; the film ends at 9.01 s, frame 225.
    const auto film = sequencesOf({2.0f, 3.0f, 0.01f, 4.0f});
    const struct {
        SeekKey key;
        long from;
        bool paused;
        long frame;
    } cases[] = {
        {SeekKey::Back, 100, false, 75},        {SeekKey::Back, 100, true, 99},
        {SeekKey::Forward, 100, false, 125},    {SeekKey::Forward, 100, true, 101},
        {SeekKey::BackFar, 100, false, 0},      {SeekKey::ForwardFar, 100, true, 225},  // clamped to the film
        {SeekKey::Back, 0, true, 0},            {SeekKey::Start, 180, false, 0},
        {SeekKey::End, 3, true, 225},
        // Page Up: the start of the sequence the film is in, or of the one
        // before within half a second (12 frames) of that start.
        {SeekKey::PreviousSequence, 100, false, 51}, {SeekKey::PreviousSequence, 60, false, 0},
        {SeekKey::PreviousSequence, 0, false, 0},    {SeekKey::PreviousSequence, 200, true, 126},
        {SeekKey::NextSequence, 0, false, 51},       {SeekKey::NextSequence, 51, false, 125},
        {SeekKey::NextSequence, 125, false, 126},    {SeekKey::NextSequence, 200, false, 225},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findSeekTarget(c.key, c.from, c.paused, film, 25), c.frame)
            << static_cast<int>(c.key) << " from " << c.from;
    EXPECT_EQ(frameAtFraction(0.75, film, 25), 169);
    EXPECT_EQ(frameAtFraction(-1.0, film, 25), 0);
    EXPECT_EQ(frameAtFraction(2.0, film, 25), 225);
}

}  // namespace
}  // namespace xmo
