#include "app/movie_clock.h"

#include <gtest/gtest.h>

namespace xmo {
namespace {

TEST(MovieClock, CountsFromStartInWholeMilliseconds) {
    std::uint32_t ticks = 5000;  // SDL was up for five seconds before playback
    MovieClock clock([&] { return ticks; });
    EXPECT_EQ(clock.filmTime(), 0.0f);
    EXPECT_EQ(clock.frameTime(), 0.0f);

    clock.start();
    ticks += 7;
    clock.update();
    // The first frame time is the whole time since start: previousMs is 0.
    EXPECT_FLOAT_EQ(clock.filmTime(), 0.007f);
    EXPECT_FLOAT_EQ(clock.frameTime(), 0.007f);

    ticks = 5000 + 1234;
    clock.update();
    EXPECT_FLOAT_EQ(clock.filmTime(), 1.234f);
    EXPECT_FLOAT_EQ(clock.frameTime(), 1.227f);
    // Reads do not touch the tick source.
    ticks = 99999;
    EXPECT_FLOAT_EQ(clock.filmTime(), 1.234f);
    EXPECT_FLOAT_EQ(clock.frameTime(), 1.227f);
}

TEST(MovieClock, SameMillisecondGivesZeroFrameTimeAndStallsAreNotClamped) {
    std::uint32_t ticks = 0;
    MovieClock clock([&] { return ticks; });
    clock.start();
    ticks = 10;
    clock.update();
    clock.update();
    EXPECT_EQ(clock.frameTime(), 0.0f);
    ticks = 10 + 30000;
    clock.update();
    EXPECT_FLOAT_EQ(clock.frameTime(), 30.0f);
}

}  // namespace
}  // namespace xmo
