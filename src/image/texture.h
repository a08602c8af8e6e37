// Turning a decoded picture into an OpenGL 2D texture (drawing library).
//
// Every picture file becomes a texture the same way: RGBA bytes with alpha
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

enum class TextureWrap { Repeat, Clamp };

// Generates a texture name, binds it and uploads width x height RGBA bytes
// (unpack alignment 1) with linear filters, no mipmaps and the given wrap in
// S and T. Null bytes leave the texels undefined. Returns the name.
unsigned createRgbaTexture(int width, int height, const std::uint8_t* rgba, TextureWrap wrap);

}  // namespace xmo
