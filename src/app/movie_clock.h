// The movie clock: film time and frame time in whole milliseconds.
//
// The tick source is a parameter: SDL_GetTicks in the player, a fixed step in
// tests and in the offline renderer, which makes a film deterministic. The
// clock has no pause, no speed factor and no clamping of long frames; the
// player's pause and step hold or move its tick source (playback_ticks.h).
#pragma once

#include <cstdint>
#include <functional>

namespace xmo {

using TickSource = std::function<std::uint32_t()>;

class MovieClock {
public:
    explicit MovieClock(TickSource ticks) : ticks_(std::move(ticks)) {}

    void start() { startTicks = static_cast<std::int32_t>(ticks_()); }
    void update() {
        previousMs = currentMs;
        currentMs = static_cast<std::int32_t>(ticks_() - static_cast<std::uint32_t>(startTicks));
    }
    float filmTime() const { return seconds(currentMs); }
    float frameTime() const { return seconds(currentMs - previousMs); }

    // Whole milliseconds as the float seconds the clock reports.
    static float seconds(std::int32_t ms) { return static_cast<float>(ms / 1000.0); }

    std::int32_t currentMs = 0;
    std::int32_t previousMs = 0;
    std::int32_t startTicks = 0;

private:
    TickSource ticks_;
};

}  // namespace xmo
