// Reading image files into the picture record, through SDL_image's decoders
// (libjpeg-turbo for baseline and progressive JPEG, libpng for every PNG
// colour type, depth and interlacing, and its BMP reader for uncompressed,
// run-length and bit-field BMPs).
//
// This is its own library, xmo_image_decode: it links SDL_image, which only
// the programs that make textures need. Everything that can be said about a
// file without decoding it lives in image_format.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "image/image.h"
#include "image/image_decoder.h"
#include "image/image_format.h"

namespace xmo {

// Detects the file's format and decodes it into `image`. A file that does not
// open or is not recognised returns kImageUnknown and leaves `image` as it
// was, silently. A recognised file that cannot be decoded (cut short,
// corrupt, or claiming more than kMaxImagePixels) writes one line
// "FILE: cannot decode image: REASON" to `errors` and leaves `image` empty;
// the format is still returned.
ImageFormat readImageFile(const std::string& fileName, Image& image, std::ostream& errors);

// Decodes a file's bytes held in memory: the reason when they are not one of
// the three formats or cannot be decoded (image is then empty).
std::optional<std::string> decodeImageBytes(const std::uint8_t* bytes, std::size_t size, Image& image);

// The decoder of the programs that make textures.
class ImageFileDecoder final : public ImageDecoder {
public:
    std::optional<std::string> decodeImage(const std::uint8_t* bytes, std::size_t size, Image& image) const override {
        return decodeImageBytes(bytes, size, image);
    }
};

}  // namespace xmo
