#include "app/playback_ticks.h"

#include <gtest/gtest.h>

namespace xmo {
namespace {

TEST(PlaybackTicks, PausesHoldStepsMoveAndResumingGoesOnFromTheHeldTime) {
    std::uint32_t wall = 7000;  // the wall clock has run before the film
    PlaybackTicks ticks([&] { return wall; });
    MovieClock clock([&] { return ticks.now(); });
    EXPECT_TRUE(ticks.isPaused());
    EXPECT_EQ(ticks.now(), 0u) << "held at 0 until the film starts";
    clock.start();

    ticks.resume();
    wall += 500;
    clock.update();
    EXPECT_EQ(clock.currentMs, 500);

    ticks.pause();
    ticks.pause();  // a second pause changes nothing
    wall += 3000;   // time spent paused does not count
    clock.update();
    EXPECT_EQ(clock.currentMs, 500);
    EXPECT_EQ(clock.frameTime(), 0.0f);

    ticks.step(40);
    clock.update();
    EXPECT_EQ(clock.currentMs, 540);
    EXPECT_FLOAT_EQ(clock.frameTime(), 0.04f);

    ticks.resume();
    ticks.resume();  // a second resume does not restart the run
    ticks.step(40);  // running ticks cannot be stepped
    wall += 100;
    clock.update();
    EXPECT_EQ(clock.currentMs, 640);
    EXPECT_FLOAT_EQ(clock.frameTime(), 0.1f);
}

TEST(PlaybackTicks, HoldingSetsAnyTimeAndRunsOnFromIt) {
    std::uint32_t wall = 100;
    PlaybackTicks ticks([&] { return wall; });
    ticks.resume();
    wall = 400;
    ticks.hold(12000);  // where a fixed-step run has got to
    wall = 900;
    EXPECT_EQ(ticks.now(), 12000u);
    ticks.resume();
    wall = 950;
    EXPECT_EQ(ticks.now(), 12050u);
}

}  // namespace
}  // namespace xmo
