// Playing a film on the fixed-step clock: frame n at n * 1000 / fps
// milliseconds of film time. xmotool render writes frames this way, and the
// player reaches a start time this way, so that a frame of the player at a
// given time is the frame xmotool render makes there. Every frame up to the
// last is advanced (commands, animations, physics and particles depend on
// every frame before); only the frames asked for are drawn.
#pragma once

#include <functional>

namespace xmo {

class PlaybackTicks;
struct Player;

// Advances frames first to last with ticks held at each frame's tick (the
// film standing at frame first - 1, or freshly started when first is 0), and
// draws those for which isDrawn says so. afterFrame runs after each frame
// with its number and stops the run by returning false; the film's exit
// command stops it too. Returns the number of the last frame advanced
// (first - 1 when last < first).
long playFixedSteps(Player& player, PlaybackTicks& ticks, int fps, long first, long last,
                    const std::function<bool(long frame)>& isDrawn,
                    const std::function<bool(long frame)>& afterFrame);

}  // namespace xmo
