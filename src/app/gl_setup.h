// One-time OpenGL state of the player and its projection.
#pragma once

namespace xmo {

inline constexpr int kScreenWidth = 800;
inline constexpr int kScreenHeight = 600;

struct FieldOfView {
    float y = 0.0f;  // vertical opening angle, radians: 60 degrees
    float x = 0.0f;  // the vertical angle in degrees scaled by the aspect ratio, in radians
};

// Viewport, the run's only perspective projection (60 degrees vertically,
// near 1, far 100) and the two field-of-view angles. The horizontal angle is
// deliberately linear in the aspect ratio rather than the exact perspective
// relation: the sky backdrop is scrolled by it.
FieldOfView reshape(int width, int height);

// The same for a picture drawn into the part of a larger frame that starts
// x, y pixels from its bottom-left corner; GL draws nothing outside it.
FieldOfView reshapeInto(int x, int y, int width, int height);

// Modelview identity, black clear colour, depth test and lighting on, two-sided
// lighting for the whole run, then reshape.
FieldOfView initGL(int width, int height);

}  // namespace xmo
