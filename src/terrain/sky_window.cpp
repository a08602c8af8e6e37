#include "terrain/sky_window.h"

#include <algorithm>
#include <cmath>

namespace xmo {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFullTurn = 6.2831853f;
// The window's top edge sits a quarter of the texture down, so a level view
// shows the band below the image's top quarter.
constexpr float kSkyTopOffset = 0.25f;

}  // namespace

SkyWindow computeSkyWindow(const Vec3f& eye, const Vec3f& lookAt, float fieldOfViewX, float fieldOfViewY) {
    const Vec3f d = lookAt - eye;
    const float run = std::sqrt(d.e[0] * d.e[0] + d.e[2] * d.e[2]);
    float yaw = 0.0f;
    if (run > 0.0f) {
        yaw = std::asin(std::clamp(d.e[0] / run, -1.0f, 1.0f));
        if (d.e[2] > 0.0f) yaw = kPi - yaw;
    }
    const float pitch = run > 0.0f || d.e[1] != 0.0f ? std::atan(d.e[1] / run) / 2.0f : 0.0f;

    SkyWindow window;
    window.uStart = yaw / -kFullTurn;
    window.uSpan = fieldOfViewX / kFullTurn;
    window.vStart = pitch / -kFullTurn;
    window.vSpan = fieldOfViewY / kFullTurn;
    return window;
}

SkyCorners buildSkyCorners(const SkyWindow& w) {
    const float top = kSkyTopOffset + w.vStart;
    const float bottom = top + w.vSpan;
    return SkyCorners{{Vec2f{w.uStart + w.uSpan, bottom}, Vec2f{w.uStart, bottom}, Vec2f{w.uStart, top},
                       Vec2f{w.uStart + w.uSpan, top}},
                      {Vec3f{-1, -1, 0}, Vec3f{1, -1, 0}, Vec3f{1, 1, 0}, Vec3f{-1, 1, 0}}};
}

}  // namespace xmo
