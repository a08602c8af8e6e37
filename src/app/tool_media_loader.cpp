#include "app/tool_media_loader.h"

#include "base/diagnostics.h"
#include "base/film_files.h"
#include "effects/tiles.h"
#include "effects/txf_format.h"
#include "image/image_format.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// A problem opening a file the film names, with where it was looked for
// when it is nowhere to be found.
std::string withSearch(std::string problem, const std::string& name, const char* movieFile) {
    if (!isPresent(name)) problem += " (" + describeFilmFileSearch(name, movieFile) + ")";
    return problem;
}

}  // namespace

void ToolMediaLoader::loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) {
    const std::string problem = checkTxfFile(text.loadfont);
    if (!problem.empty())
        diagnostics.report(DiagnosticKind::FontProblem, movieFile, text.sourceLine,
                           "Text: " + text.loadfont + ": " + withSearch(problem, text.loadfont, movieFile));
}

void ToolMediaLoader::loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) {
    if (tiles.loadimage.empty()) {
        diagnostics.report(DiagnosticKind::ImageProblem, movieFile, tiles.sourceLine,
                           "Tiles: no \"loadimage\" given; the tile shows nothing");
        return;
    }
    ImageSize size;
    const std::optional<std::string> problem = findImageFileProblem(tiles.loadimage, &size);
    const auto report = [&](const std::string& what) {
        diagnostics.report(DiagnosticKind::ImageProblem, movieFile, tiles.sourceLine,
                           "Tiles: " + tiles.loadimage + ": " + what);
    };
    if (problem) {
        report(withSearch(*problem, tiles.loadimage, movieFile));
    } else if (size.width > kTileTextureSize || size.height > kTileTextureSize) {
        const TileSize fitted = fitTileSize(static_cast<int>(size.width), static_cast<int>(size.height));
        report(std::to_string(size.width) + " x " + std::to_string(size.height) + " pixels, larger than a tile's " +
               std::to_string(kTileTextureSize) + " x " + std::to_string(kTileTextureSize) +
               ": it is scaled down to " + std::to_string(fitted.width) + " x " + std::to_string(fitted.height));
    }
}

std::optional<std::string> ToolMediaLoader::decodeImage(const std::uint8_t* bytes, std::size_t size,
                                                        Image& image) const {
    image = Image{};
    return findImageBytesProblem(bytes, size);
}

}  // namespace xmo
