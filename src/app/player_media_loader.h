// The media loader of the programs that play a film: caption fonts through
// PLIB and tile images as textures, made as their elements are read. Needs
// the GL context. What it cannot load stays empty (a text without glyphs, a
// tile that shows nothing) and is reported as a Diagnostic.
#pragma once

#include "movie/media_loader.h"

namespace xmo {

class PlayerMediaLoader : public MediaLoader {
public:
    void loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) override;
    void loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) override;
};

}  // namespace xmo
