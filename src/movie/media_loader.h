// Loading of the media a movie names while it is read: caption fonts, image
// tiles and the pictures of imported models' textures.
//
// The loader calls loadFont and loadTile as soon as a "Text" or "Tiles"
// element has been read; objects decode their textures through the
// ImageDecoder half when they load. The player supplies an implementation
// that makes real fonts and textures; windowless tools supply one that only
// reads and checks, so that check can report files that would fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "image/image_decoder.h"

namespace xmo {

struct Text;
struct Tiles;
class Diagnostics;

class MediaLoader : public ImageDecoder {
public:
    virtual ~MediaLoader() = default;
    virtual void loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) = 0;
    virtual void loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) = 0;
    // Unless a loader says otherwise it decodes no pictures and checks none.
    std::optional<std::string> decodeImage(const std::uint8_t*, std::size_t, Image& image) const override {
        image = Image{};
        return std::nullopt;
    }
};

}  // namespace xmo
