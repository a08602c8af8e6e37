// The decoded picture every texture starts from, and the pure steps between a
// decoder and OpenGL: the bytes a texture upload takes and the scaling that
// fits a picture into the largest texture the GL accepts.
//
// Rows run from the top of the picture down, each left to right; a pixel is
// four bytes in the order blue, green, red, alpha (alpha 255 where the file
// has none). An empty image (0 x 0, no bytes) stands for a file that gave no
// picture. Depends on nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace xmo {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width x height x 4 bytes: blue, green, red, alpha

    bool empty() const { return width <= 0 || height <= 0; }
};

// width x height x 4, or 0 for an empty image; a record's pixels always
// hold exactly this many bytes.
std::size_t pixelBytes(const Image& image);

// Pictures of more pixels than this are refused before decoding: a header of
// a few bytes may claim any size, and the record, the decoder's surface and
// the upload each need four bytes per pixel.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{8192} * 8192;

bool isImageSizeAccepted(std::int64_t width, std::int64_t height);

// The largest texture side the player counts on. How large a texture the GL
// takes whole (GL_MAX_TEXTURE_SIZE) only a GL context can tell, and the
// windowless tools have none; desktop drivers have taken 8192 and more for
// many years. A picture with a longer side may be scaled down on upload.
inline constexpr int kPortableTextureSide = 8192;

// The texture bytes of an image: red, green, blue and 255 per pixel, in the
// record's order. The image's own alpha is not used. `out` is resized.
void buildTextureBytes(const Image& image, std::vector<std::uint8_t>& out);

// The image scaled down so that neither side exceeds maxSide, each side on its
// own (texture coordinates address a texture from 0 to 1 whatever its shape).
// Each target pixel is the mean of the source pixels that fall on it. An image
// that fits is returned unchanged.
Image scaleImageToFit(const Image& image, int maxSide);

}  // namespace xmo
