#include "app/player_media_loader.h"

#include "base/diagnostics.h"
#include "effects/captions.h"
#include "effects/tiles.h"
#include "image/image_file.h"

namespace xmo {

void PlayerMediaLoader::loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) {
    CaptionFontLoad load = loadCaptionFont(text.loadfont);
    text.font = std::move(load.font);
    if (!load.problem.empty())
        diagnostics.report(DiagnosticKind::FontProblem, movieFile, text.sourceLine,
                           "Text: " + text.loadfont + ": " + load.problem);
}

void PlayerMediaLoader::loadTile(Tiles& tiles, const char*, Diagnostics&) {
    Image image;
    readImageFile(tiles.loadimage, image, errors_);
    uploadTile(tiles, image);
}

std::optional<std::string> PlayerMediaLoader::decodeImage(const std::uint8_t* bytes, std::size_t size,
                                                          Image& image) const {
    return decodeImageBytes(bytes, size, image);
}

}  // namespace xmo
