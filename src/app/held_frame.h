// The picture that stays on screen while the film is paused.
//
// A paused film renders no frames: every frame advances the physics and
// the particles, even with the clock held. The last frame is kept as pixels
// instead and put back into the buffer each time the window is redrawn.
#pragma once

#include <cstdint>
#include <vector>

namespace xmo {

class HeldFrame {
public:
    // Copies the colour buffer being drawn (before its swap).
    void keep(int width, int height);
    void clear() { pixels_.clear(); }
    bool isKept() const { return !pixels_.empty(); }
    // Puts the kept picture back into the colour buffer being drawn.
    void draw() const;

private:
    int width_ = 0, height_ = 0;
    std::vector<std::uint8_t> pixels_;  // RGBA, bottom row first, as GL reads them
};

}  // namespace xmo
