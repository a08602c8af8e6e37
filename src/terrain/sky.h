// The sky backdrop: a screen-filling picture of "test4.jpg" scrolled with the
// camera's heading and pitch, drawn first in every frame.
//
// Not built yet: no sky texture is loaded and the backdrop draws nothing, so
// the picture behind the models is the clear colour.
#pragma once

#include "math/vec.h"

namespace xmo {

// The sky's texture, loaded once at start-up and owned by the player.
struct SkyTexture {};

inline void loadSkyTexture(SkyTexture&) {}
inline void drawSky(const SkyTexture&, Vec3f /*eye*/, Vec3f /*lookAt*/, float /*fieldOfViewX*/,
                    float /*fieldOfViewY*/) {}

}  // namespace xmo
