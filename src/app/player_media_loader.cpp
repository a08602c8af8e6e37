#include "app/player_media_loader.h"

#include "base/diagnostics.h"
#include "effects/captions.h"

namespace xmo {

void PlayerMediaLoader::loadFont(Text& text, const char* movieFile, Diagnostics& diagnostics) {
    CaptionFontLoad load = loadCaptionFont(text.loadfont);
    text.font = std::move(load.font);
    if (!load.problem.empty())
        diagnostics.report(DiagnosticKind::FontProblem, movieFile, text.sourceLine,
                           "the font file \"" + text.loadfont + "\": " + load.problem);
}

void PlayerMediaLoader::loadTile(Tiles&, const char*, Diagnostics&) {}

}  // namespace xmo
