// Caption fonts and their drawing through PLIB fnt.
//
// Every text that names a font owns its own TXF font and texture. A font
// file is read and checked (txf_format.h) before PLIB's loader sees it, and
// PLIB's loader needs a current GLX context (it ends the process without
// one, so without one the font is not loaded at all; an offscreen renderer
// on EGL answers glXGetCurrentContext itself). A font that fails any of
// these stays empty: its texts print nothing.
// CaptionPrinter is the one renderer all captions share; its font, pen and
// point size persist across texts, chunks and frames.
#pragma once

#include <plib/fnt.h>

#include <memory>
#include <string>
#include <vector>

#include "movie/movie.h"

namespace xmo {

class TxfCaptionFont : public CaptionFont {
public:
    fntTexFont glyphs;  // no glyphs unless loaded
    bool loaded = false;
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

class CaptionPrinter {
public:
    // Draws the chunks whose window holds local time t. Allocates nothing
    // once its scratch text has grown to the longest caption.
    void draw(const std::vector<std::unique_ptr<TextChunk>>& chunks, float t);

private:
    fntRenderer renderer_;
    std::string latin1_;  // the caption being printed, in the fonts' encoding
};

}  // namespace xmo
