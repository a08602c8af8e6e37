// The media loader of the windowless tools: it makes no fonts or textures,
// it only checks that the files a film names would load, and reports each
// one that would not as a Diagnostic with the movie file and line (a model's
// pictures through the object's loader).
#pragma once

#include "movie/media_loader.h"

namespace xmo {

class ToolMediaLoader : public MediaLoader {
public:
    // A font file must be a TXF font that PLIB may load.
    void loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) override;
    // An image file must open and be a PNG, a JFIF JPEG or a BMP whose header
    // the decoder may have; one larger than a tile is reported too.
    void loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) override;
    // A model's picture is only checked as a tile image is: no pixels.
    std::optional<std::string> decodeImage(const std::uint8_t* bytes, std::size_t size, Image& image) const override;
};

}  // namespace xmo
