// The sky backdrop as plain data: which window of the sky texture fills the
// screen for a camera (drawSky, sky.h, draws it).
//
// The window is as wide as the horizontal field of view and as high as the
// vertical one, both as fractions of a full turn. Turning the camera scrolls
// it horizontally, wrapping round (the texture repeats); looking up or down
// shifts it by half the pitch. Depends on math/.
#pragma once

#include "math/vec.h"

namespace xmo {

struct SkyWindow {
    float uStart = 0.0f;
    float uSpan = 0.0f;
    float vStart = 0.0f;
    float vSpan = 0.0f;
};

// Heading yaw = asin(h.x) of the horizontal view direction h (pi - yaw when h
// looks along +z), pitch = atan(rise / run) / 2, and the window
// uStart = yaw / -2pi, uSpan = fovX / 2pi, vStart = pitch / -2pi,
// vSpan = fovY / 2pi. A camera whose eye and look-at point coincide (the
// camera is zero until its path first sets it) or that looks straight up or
// down has no heading, and counts as heading 0.
SkyWindow computeSkyWindow(const Vec3f& eye, const Vec3f& lookAt, float fieldOfViewX, float fieldOfViewY);

// The texture coordinates of the backdrop's corners, in drawing order:
// bottom left, bottom right, top right, top left of the screen. The window
// starts a quarter of the texture down: (u, 0.25 + v).
struct SkyCorners {
    Vec2f texCoord[4];
    Vec3f vertex[4];
};
SkyCorners buildSkyCorners(const SkyWindow& window);

}  // namespace xmo
