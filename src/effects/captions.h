// Text captions of a sequence, printed in TXF fonts through PLIB fnt.
//
// Every text that names a font owns its own TXF font and texture, loaded
// while the movie loads. A font file is read and checked (txf_format.h)
// before PLIB's loader sees it, and PLIB's loader needs a current GLX
// context (it ends the process without one, so without one the font is not
// loaded at all; the offscreen renderer on EGL answers glXGetCurrentContext
// itself). A font that fails any of these stays empty: its texts print
// nothing. The pen that carries from text to text and frame to frame is the
// player's (caption_pass.h); drawing prints from a copy of it.
#pragma once

#include <plib/fnt.h>

#include <memory>
#include <string>
#include <vector>

#include "effects/caption_pass.h"
#include "movie/movie.h"

namespace xmo {

// Copies share the glyphs and their texture: a film read again in the same
// process takes its fonts from those already loaded.
class TxfCaptionFont : public CaptionFont {
public:
    std::shared_ptr<fntTexFont> glyphs = std::make_shared<fntTexFont>();  // no glyphs unless loaded
};

struct CaptionFontLoad {
    std::unique_ptr<TxfCaptionFont> font;  // always set; empty when problem is set
    std::string problem;
};

// A GL context that PLIB's loader accepts is current.
bool canLoadCaptionFonts();

// Loads the TXF font at path with GL_NEAREST magnification and
// GL_LINEAR_MIPMAP_LINEAR minification. Needs the GL context.
CaptionFontLoad loadCaptionFont(const std::string& path);

// Scratch of the caption pass: the caption being printed, in the fonts'
// encoding.
struct CaptionRenderer {
    std::string latin1;
};

// Draws the chunks whose window holds local time t, the pen starting at
// `pen` (this frame's start). Allocates nothing once the scratch text has
// grown to the longest caption.
void drawTextChunks(CaptionRenderer& captions, const std::vector<std::unique_ptr<TextChunk>>& chunks, float t,
                    CaptionPen pen);

}  // namespace xmo
