// A GL context for tests: the player's own window set-up (SDL, under Xvfb),
// opened once per test process, with initGL applied.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xmo::test {

// Opens the window on first use; false (with the reason) when no display.
bool ensureGlWindow(std::string* error = nullptr);

// RGBA of one pixel of the back buffer, (x, y) from the top left.
struct Rgba {
    int r, g, b, a;
};
Rgba pixelAt(int x, int y);

// Saves the back buffer to tests' output folder for a human to look at;
// returns the path written.
std::string saveFrameForInspection(const std::string& name);

}  // namespace xmo::test
