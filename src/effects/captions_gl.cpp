#include <GL/gl.h>
#include <GL/glu.h>
#include <GL/glx.h>

#include "effects/caption_pass.h"
#include "effects/captions.h"
#include "effects/latin1_text.h"
#include "effects/screen_overlay.h"
#include "effects/txf_format.h"

namespace xmo {

namespace {

constexpr double kCaptionHalfExtent = 60.0;

class FntTarget : public CaptionTarget {
public:
    FntTarget(fntRenderer& renderer, std::string& latin1) : renderer_(renderer), latin1_(latin1) {}

    void beginChunk() override {
        beginScreenOverlay(-kCaptionHalfExtent, kCaptionHalfExtent, -kCaptionHalfExtent, kCaptionHalfExtent);
    }
    void endChunk() override { endScreenOverlay(); }
    void setFont(const CaptionFont* font) override {
        // Only the loaders here make caption fonts for the drawing player.
        const auto* txf = dynamic_cast<const TxfCaptionFont*>(font);
        renderer_.setFont(txf && txf->loaded ? const_cast<fntTexFont*>(&txf->glyphs) : nullptr);
    }
    bool hasFont() const override { return renderer_.getFont() != nullptr; }
    void beginFont() override { renderer_.begin(); }
    void endFont() override { renderer_.end(); }
    void setColour(Vec3f rgb) override { glColor3f(rgb[0], rgb[1], rgb[2]); }
    void startAt(Vec2f position) override { renderer_.start2f(position[0], position[1]); }
    void setPointSize(float size) override { renderer_.setPointSize(size); }
    void print(const std::string& text) override {
        convertUtf8ToLatin1(text, latin1_);
        renderer_.puts(latin1_.c_str());
    }

private:
    fntRenderer& renderer_;
    std::string& latin1_;
};

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
    if (result.font->glyphs.load(path.c_str(), GL_NEAREST, GL_LINEAR_MIPMAP_LINEAR) != FNT_TRUE) {
        result.problem = "the font library could not load it";
        return result;
    }
    result.font->loaded = true;
    return result;
}

void drawTextChunks(CaptionRenderer& captions, const std::vector<std::unique_ptr<TextChunk>>& chunks, float t) {
    FntTarget target(captions.renderer, captions.latin1);
    walkTextChunks(chunks, t, target);
}

}  // namespace xmo
