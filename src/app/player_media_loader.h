// The media loader of the programs that play a film: caption fonts through
// PLIB and tile images as textures, made as their elements are read, and the
// models' pictures decoded (start-up makes them textures). Needs the GL
// context. What it cannot load stays empty: a text without glyphs (the
// font's problem is reported as a Diagnostic), a tile that shows nothing (an
// image that fails to decode is reported on errors by the decoder; one that
// does not open or is not an image, silently), a model picture that gives no
// texture (the object's loader reports why).
#pragma once

#include <ostream>

#include "movie/media_loader.h"

namespace xmo {

class PlayerMediaLoader : public MediaLoader {
public:
    explicit PlayerMediaLoader(std::ostream& errors) : errors_(errors) {}

    void loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) override;
    void loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) override;
    std::optional<std::string> decodeImage(const std::uint8_t* bytes, std::size_t size, Image& image) const override;

private:
    std::ostream& errors_;
};

}  // namespace xmo
