#include "app/tool_media_loader.h"

#include "base/diagnostics.h"
#include "base/regular_file.h"
#include "image/image_format.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// Why the file does not open as a regular file; empty when it does.
std::string openFailure(const std::string& fileName) { return RegularFile(fileName).problem(); }

}  // namespace

void ToolMediaLoader::loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) {
    const std::string reason = openFailure(text.loadfont);
    if (!reason.empty())
        diagnostics.report(DiagnosticKind::FontProblem, movieFile, text.sourceLine,
                           "cannot open the font file \"" + text.loadfont + "\": " + reason);
}

void ToolMediaLoader::loadTile(Tiles& tiles, const char* movieFile, Diagnostics& diagnostics) {
    const std::string reason = openFailure(tiles.loadimage);
    if (!reason.empty())
        diagnostics.report(DiagnosticKind::ImageProblem, movieFile, tiles.sourceLine,
                           "cannot open the image file \"" + tiles.loadimage + "\": " + reason);
    else if (detectImageFormat(tiles.loadimage) == kImageUnknown)
        diagnostics.report(DiagnosticKind::ImageProblem, movieFile, tiles.sourceLine,
                           "the image file \"" + tiles.loadimage + "\" is not a PNG, a JFIF JPEG or a BMP image");
}

}  // namespace xmo
