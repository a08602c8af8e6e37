// The media loader of the windowless tools: it makes no fonts or textures,
// it only checks that the files a film names would load, and reports each
// one that would not as a Diagnostic with the movie file and line.
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
};

}  // namespace xmo
