#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glx.h>

#include "effects/caption_pass.h"
#include "effects/captions.h"
#include "effects/screen_overlay.h"
#include "effects/txf_format.h"

namespace xmo {

namespace {

constexpr double kCaptionHalfExtent = 60.0;

class FntTarget : public CaptionTarget {
public:
    void beginChunk() override {
        beginScreenOverlay(-kCaptionHalfExtent, kCaptionHalfExtent, -kCaptionHalfExtent, kCaptionHalfExtent);
    }
    void endChunk() override { endScreenOverlay(); }
    void setColour(Vec3f rgb) override { glColor3f(rgb[0], rgb[1], rgb[2]); }
    void print(const CaptionFont& font, float pointSize, Vec2f pen, const std::string& latin1) override {
        // Only the loaders here make caption fonts for the drawing player.
        fntTexFont& glyphs = *static_cast<const TxfCaptionFont&>(font).glyphs;
        // Each text binds its own font's glyph texture: a text printed after
        // another font began in the same chunk would otherwise take that
        // font's texture.
        glyphs.begin();
        sgVec3 position = {pen[0], pen[1], 0.0f};
        glyphs.puts(position, pointSize, 0.0f, latin1.c_str());
        glyphs.end();
    }
};

// What printing needs to know of the loaded glyphs, for the pen to move
// without drawing.
void measureGlyphs(TxfCaptionFont& font) {
    const float gap = font.glyphs->getGap();
    for (int c = 0; c < 256; ++c) {
        float width = 0.0f;
        const bool exists = font.glyphs->getGlyph(static_cast<char>(c), &width, nullptr, nullptr, nullptr, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr) != 0;
        font.hasGlyph[static_cast<std::size_t>(c)] = exists;
        font.advance[static_cast<std::size_t>(c)] = exists ? gap + width : 0.0f;
    }
}

}  // namespace

bool canLoadCaptionFonts() { return glXGetCurrentContext() != nullptr; }

CaptionFontLoad loadCaptionFont(const std::string& path) {
    CaptionFontLoad result;
    result.font = std::make_unique<TxfCaptionFont>();
    result.problem = checkTxfFile(path);
    if (!result.problem.empty()) return result;
    // PLIB's loader ends the process when it finds no GLX context (an EGL
    // one does not count); here that is a font that does not load.
    if (!canLoadCaptionFonts()) {
        result.problem = "fonts load only with a GLX context current";
        return result;
    }
    if (result.font->glyphs->load(path.c_str(), GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR) != FNT_TRUE) {
        result.problem = "the font library could not load it";
        return result;
    }
    measureGlyphs(*result.font);
    result.font->loaded = true;
    return result;
}

void drawTextChunks(CaptionRenderer& captions, const std::vector<std::unique_ptr<TextChunk>>& chunks, float t,
                    CaptionPen pen) {
    FntTarget target;
    walkTextChunks(chunks, t, pen, captions.latin1, &target);
}

}  // namespace xmo
