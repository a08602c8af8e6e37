#include "image/image_file.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <climits>
#include <cstring>
#include <memory>
#include <vector>

namespace xmo {

namespace {

struct SurfaceFree {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

struct RwClose {
    void operator()(SDL_RWops* rw) const { SDL_RWclose(rw); }
};

// 32-bit pixels whose bytes lie in memory as blue, green, red, alpha.
SurfacePtr makeBgraSurface(int width, int height) {
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
    const Uint32 r = 0x00FF0000, g = 0x0000FF00, b = 0x000000FF, a = 0xFF000000;
#else
    const Uint32 r = 0x0000FF00, g = 0x00FF0000, b = 0xFF000000, a = 0x000000FF;
#endif
    return SurfacePtr(SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, r, g, b, a));
}

SurfacePtr decode(ImageFormat format, const std::uint8_t* bytes, std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) return nullptr;
    const std::unique_ptr<SDL_RWops, RwClose> rw(SDL_RWFromConstMem(bytes, static_cast<int>(size)));
    if (!rw) return nullptr;
    switch (format) {
    case kImageJpeg:
        return SurfacePtr(IMG_LoadJPG_RW(rw.get()));
    case kImagePng:
        return SurfacePtr(IMG_LoadPNG_RW(rw.get()));
    case kImageBmp:
        return SurfacePtr(IMG_LoadBMP_RW(rw.get()));
    case kImageUnknown:
        break;
    }
    return nullptr;
}

// The decoded surface as the record's rows; false when the conversion fails.
bool copyPixels(SDL_Surface& decoded, Image& image) {
    const SurfacePtr target = makeBgraSurface(1, 1);
    if (!target) return false;
    const SurfacePtr converted(SDL_ConvertSurface(&decoded, target->format, SDL_SWSURFACE));
    if (!converted || SDL_LockSurface(converted.get()) != 0) return false;
    image.width = converted->w;
    image.height = converted->h;
    image.pixels.resize(pixelBytes(image));
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
    const auto* source = static_cast<const std::uint8_t*>(converted->pixels);
    for (int y = 0; y < image.height; ++y)
        std::memcpy(&image.pixels[static_cast<std::size_t>(y) * rowBytes],
                    source + static_cast<std::size_t>(y) * converted->pitch, rowBytes);
    SDL_UnlockSurface(converted.get());
    return true;
}

std::string decoderReason() {
    const char* reason = IMG_GetError();
    return reason && *reason ? reason : "the decoder gives no reason";
}

}  // namespace

std::optional<std::string> decodeImageBytes(const std::uint8_t* bytes, std::size_t size, Image& image) {
    image = Image{};
    const ImageFormat format = detectImageFormat(bytes, size);
    if (format == kImageUnknown) return std::string("not a JFIF JPEG, PNG or BMP file");
    // Checked before decoding: a decoder allocates what the header claims
    // before it reads a single pixel.
    if (std::optional<std::string> refused = findUndecodableHeader(format, bytes, size)) return refused;

    SDL_ClearError();
    const SurfacePtr decoded = decode(format, bytes, size);
    if (!decoded) return decoderReason();
    if (!isImageSizeAccepted(decoded->w, decoded->h))
        return std::to_string(decoded->w) + " x " + std::to_string(decoded->h) + " pixels decoded";
    if (!copyPixels(*decoded, image)) {
        image = Image{};
        return decoderReason();
    }
    return std::nullopt;
}

ImageFormat readImageFile(const std::string& fileName, Image& image, std::ostream& errors) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!readImageFileBytes(fileName, bytes, reason)) return kImageUnknown;
    const ImageFormat format = detectImageFormat(bytes.data(), bytes.size());
    if (format == kImageUnknown) return kImageUnknown;
    if (const std::optional<std::string> problem = decodeImageBytes(bytes.data(), bytes.size(), image))
        errors << fileName << ": cannot decode image: " << *problem << "\n";
    return format;
}

}  // namespace xmo
