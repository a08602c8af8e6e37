// Loading of the media a movie names while it is read: caption fonts and
// image tiles.
//
// The loader calls these as soon as a "Text" or "Tiles" element has been read.
// The player supplies an implementation that makes real fonts and textures;
// windowless tools supply one that only reads and decodes, so that check can
// report files that would fail.
#pragma once

namespace xmo {

struct Text;
struct Tiles;
class Diagnostics;

class MediaLoader {
public:
    virtual ~MediaLoader() = default;
    virtual void loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) = 0;
    virtual void loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) = 0;
};

}  // namespace xmo
