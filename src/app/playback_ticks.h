// The player's tick source: what the movie clock reads as "now".
//
// While the film plays it is the wall clock less all the time spent paused.
// While paused it is held at one value, which only stepping by hand moves
// on; the fixed-step runs of xmotool render and of a start time hold it at
// each frame's tick in turn. Held at 0 before the film starts, so that the
// clock's start reads 0 and film time is the held or running value itself.
#pragma once

#include <cstdint>

#include "app/movie_clock.h"

namespace xmo {

class PlaybackTicks {
public:
    // wall is read only while running; a source that never runs may give none.
    explicit PlaybackTicks(TickSource wall = {}) : wall_(std::move(wall)) {}

    std::uint32_t now() const { return paused_ ? held_ : runFrom_ + (wall_() - wallAtRun_); }
    bool isPaused() const { return paused_; }

    // Stops at ticks, whatever it showed before.
    void hold(std::uint32_t ticks) {
        held_ = ticks;
        paused_ = true;
    }
    void pause() {
        if (!paused_) hold(now());
    }
    // Runs on from the held value, from this moment of the wall clock.
    void resume() {
        if (!paused_) return;
        runFrom_ = held_;
        wallAtRun_ = wall_();
        paused_ = false;
    }
    // Moves a held value on by ms; running ticks cannot be stepped.
    void step(std::uint32_t ms) {
        if (paused_) held_ += ms;
    }

private:
    TickSource wall_;
    bool paused_ = true;
    std::uint32_t held_ = 0;
    std::uint32_t runFrom_ = 0;
    std::uint32_t wallAtRun_ = 0;
};

}  // namespace xmo
