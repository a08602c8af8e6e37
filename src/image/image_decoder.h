// Turning an image file's bytes, already in memory, into a picture: how a
// model's textures are read, whether they lie in the model file itself or in
// files beside it.
//
// It is an interface because decoding takes SDL_image, which only the
// programs that make textures link: the player decodes (image_file.h), the
// windowless tools only check what a decoder would be given
// (findImageBytesProblem), so that check reports the textures that would not
// load.
// Depends on image/image.h and image/image_format.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "image/image.h"
#include "image/image_format.h"

namespace xmo {

class ImageDecoder {
public:
    // Fills image from bytes (a JFIF JPEG, PNG or BMP file's contents), or
    // says why the bytes give no picture and leaves image empty. A decoder
    // may also leave image empty without a reason: then it only checked.
    virtual std::optional<std::string> decodeImage(const std::uint8_t* bytes, std::size_t size,
                                                   Image& image) const = 0;

protected:
    ~ImageDecoder() = default;
};

// Checks the header and decodes nothing, as the windowless tools do.
class ImageHeaderCheck final : public ImageDecoder {
public:
    std::optional<std::string> decodeImage(const std::uint8_t* bytes, std::size_t size, Image& image) const override {
        image = Image{};
        return findImageBytesProblem(bytes, size);
    }
};

}  // namespace xmo
