#include "app/tool_media_loader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/diagnostics.h"
#include "effects/txf_format.h"
#include "image/image_format.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// The system's reason when the file does not open; empty when it does.
std::string openFailure(const std::string& fileName) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) return std::strerror(errno);
    std::fclose(f);
    return {};
}

}  // namespace

void ToolMediaLoader::loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) {
    const std::string problem = checkTxfFile(text.loadfont);
    if (!problem.empty())
        diagnostics.report(DiagnosticKind::FontProblem, movieFile, text.sourceLine,
                           "the font file \"" + text.loadfont + "\": " + problem);
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
