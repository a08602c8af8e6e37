// The media loader of the programs that play a film: caption fonts through
// PLIB and tile images as textures, made as their elements are read, and the
// models' pictures decoded (start-up makes them textures). Needs the GL
// context. What it cannot load stays empty: a text without glyphs (the
// font's problem is reported as a Diagnostic), a tile that shows nothing (an
// image that fails to decode is reported on errors by the decoder; one that
// does not open or is not an image, silently), a model picture that gives no
// texture (the object's loader reports why).
//
// Each file is loaded once per loader: a film read again in the same process
// (a seek back to its start) takes its fonts and pictures from the first
// reading, so their textures are made once and nothing builds up.
#pragma once

#include <map>
#include <memory>
#include <ostream>
#include <string>

#include "movie/media_loader.h"

namespace xmo {

class TxfCaptionFont;

class PlayerMediaLoader : public MediaLoader {
public:
    explicit PlayerMediaLoader(std::ostream& errors);
    ~PlayerMediaLoader() override;

    void loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) override;
    void loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) override;
    std::optional<std::string> decodeImage(const std::uint8_t* bytes, std::size_t size, Image& image) const override;

private:
    struct LoadedFont {
        std::unique_ptr<TxfCaptionFont> font;
        std::string problem;
    };
    struct LoadedTile {
        unsigned texture = 0;
        int textureWidth = 0, textureHeight = 0, imageWidth = 0, imageHeight = 0;
    };

    std::ostream& errors_;
    std::map<std::string, LoadedFont> fonts_;
    std::map<std::string, LoadedTile> tiles_;
};

}  // namespace xmo
