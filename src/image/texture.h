// Turning a decoded picture into an OpenGL 2D texture (drawing library).
//
// Every texture of the player is made the same way: RGBA bytes with alpha
// 255, unpack alignment 1, repeating in S and T, linear filters and no
// mipmaps. A picture larger than the GL's maximum texture size is scaled down
// to fit first. An empty picture gives a texture of 0 x 0, which samples as
// no texture at all.
#pragma once

#include "image/image.h"

namespace xmo {

struct Texture {
    unsigned name = 0;  // owned by the caller
    int width = 0;      // as uploaded, after any scaling
    int height = 0;
};

// Generates a texture name, binds it, uploads the image and empties it.
Texture uploadTexture(Image& image);

}  // namespace xmo
