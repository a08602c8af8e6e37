#include "app/player_media_loader.h"

#include "base/diagnostics.h"
#include "effects/captions.h"
#include "effects/tiles.h"
#include "image/image_file.h"

namespace xmo {

PlayerMediaLoader::PlayerMediaLoader(std::ostream& errors) : errors_(errors) {}
PlayerMediaLoader::~PlayerMediaLoader() = default;

void PlayerMediaLoader::loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) {
    auto found = fonts_.find(text.loadfont);
    if (found == fonts_.end()) {
        CaptionFontLoad load = loadCaptionFont(text.loadfont);
        found = fonts_.emplace(text.loadfont, LoadedFont{std::move(load.font), std::move(load.problem)}).first;
    }
    const LoadedFont& loaded = found->second;
    text.font = std::make_unique<TxfCaptionFont>(*loaded.font);
    if (!loaded.problem.empty())
        diagnostics.report(DiagnosticKind::FontProblem, movieFile, text.sourceLine,
                           "Text: " + text.loadfont + ": " + loaded.problem);
}

void PlayerMediaLoader::loadTile(Tiles& tiles, const char*, Diagnostics&) {
    auto found = tiles_.find(tiles.loadimage);
    if (found == tiles_.end()) {
        Image image;
        readImageFile(tiles.loadimage, image, errors_);
        uploadTile(tiles, image);
        const LoadedTile made{tiles.texture, tiles.textureWidth, tiles.textureHeight, tiles.imageWidth,
                              tiles.imageHeight};
        found = tiles_.emplace(tiles.loadimage, made).first;
    }
    const LoadedTile& tile = found->second;
    tiles.texture = tile.texture;
    tiles.textureWidth = tile.textureWidth;
    tiles.textureHeight = tile.textureHeight;
    tiles.imageWidth = tile.imageWidth;
    tiles.imageHeight = tile.imageHeight;
}

std::optional<std::string> PlayerMediaLoader::decodeImage(const std::uint8_t* bytes, std::size_t size,
                                                          Image& image) const {
    return decodeImageBytes(bytes, size, image);
}

}  // namespace xmo
