// The sky backdrop: a screen-filling window of the picture "test4.jpg",
// scrolled with the camera's heading and pitch and drawn first in every
// frame, before the view is set (sky_window.h computes the window).
//
// The player owns one SkyTexture; loadSkyTexture is part of the playback
// library xmo_world (it decodes and uploads), drawSky of the drawing library.
#pragma once

#include <ostream>

#include "image/texture.h"
#include "math/vec.h"

namespace xmo {

class FilmFiles;

struct SkyTexture {
    Texture texture;
};

// Reads the sky image from the working directory (or beside the film, by the
// rule of base/film_files.h) and uploads it, then sets
// the texture environment to GL_REPLACE: global state that everything drawn
// later keeps until a step changes it (the terrain's list puts it back).
// A recognised image that cannot be decoded writes one line to `errors`; a
// missing or unrecognised one gives a texture of 0 x 0 in silence.
void loadSkyTexture(SkyTexture& sky, FilmFiles& files, std::ostream& errors);

// One polygon over the whole screen in an orthographic projection (-1..1,
// near -10, far 100) with depth writes off, textured with the window of the
// sky that the camera from eye towards lookAt sees; nothing is drawn for a
// sky of 0 x 0, whose polygon would show untextured. It replaces the
// modelview matrix with the identity and leaves it selected; the projection
// is restored.
void drawSky(const SkyTexture& sky, Vec3f eye, Vec3f lookAt, float fieldOfViewX, float fieldOfViewY);

}  // namespace xmo
