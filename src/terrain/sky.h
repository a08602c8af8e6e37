// The sky backdrop: a screen-filling picture scrolled with the camera's
// heading and pitch, drawn first in every frame.
//
// Not built yet: loading the sky texture and drawing the backdrop do nothing,
// so the picture behind the models is the clear colour.
#pragma once

#include "math/vec.h"

namespace xmo {

void loadSkyTexture();
void drawSky(Vec3f eye, Vec3f lookAt, float fieldOfViewX, float fieldOfViewY);

}  // namespace xmo
