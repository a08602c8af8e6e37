// The author's time bar: a thin strip along the bottom of the window with the
// film's length, its sequences as segments and where the film stands, shown
// while the pointer is over the window's lower edge or for a while after a
// seek. A click or a drag on it seeks to the film time under the pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/overlay.h"

namespace xmo {

struct Sequence;

inline constexpr std::uint32_t kTimeBarAfterSeekMs = 2000;
// The strip's height: the band of window rows it shows in and takes clicks in.
inline constexpr int kTimeBarHeight = 34;

// Whether window row y lies in the strip that shows the bar and takes clicks.
bool isOverTimeBar(int y, int screenHeight);

// The fraction of the film's length (0 to 1) at window column x.
double timeBarFraction(int x, int screenWidth);

// The strip for film time t: a shade, one segment per sequence (alternately
// lighter and darker), a marker where the film stands and a line of text
// with the time, the film's length and the sequence.
Overlay layoutTimeBar(const std::vector<std::unique_ptr<Sequence>>& sequences, float t, bool paused, int screenWidth,
                      int screenHeight);

}  // namespace xmo
