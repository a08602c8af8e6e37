// Particles, captions and image tiles drawn in the player's own GL context,
// with a caption font made from DejaVu Sans by the font maker.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/gl_setup.h"
#include "effects/captions.h"
#include "effects/fades.h"
#include "effects/particles.h"
#include "effects/tiles.h"
#include "effects/txf_maker.h"
#include "support/gl_window.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class EffectsOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        if (!test::ensureGlWindow(&error)) GTEST_SKIP() << "no GL window: " << error;
        initGL(kScreenWidth, kScreenHeight);
    }
    void TearDown() override { glClearColor(0.0f, 0.0f, 0.0f, 0.0f); }

    static void paint(float r, float g, float b) {
        glClearColor(r, g, b, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // Pixels in the box [x0, x1) x [y0, y1) (from the top left) brighter than
    // half on every channel.
    static int brightPixels(int x0, int y0, int x1, int y1) {
        int count = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const test::Rgba c = test::pixelAt(x, y);
                if (c.r > 128 && c.g > 128 && c.b > 128) ++count;
            }
        return count;
    }
};

// ---- Particles --------------------------------------------------------------

TEST_F(EffectsOnScreen, AParticleIsASpriteAtItsPlaceThatFadesAndGoes) {
    ParticleTexture texture;
    initParticleTexture(texture);
    glLoadIdentity();
    const Vec3f eye{0, 0, 2}, lookAt{0, 0, 0};
    gluLookAt(eye[0], eye[1], eye[2], lookAt[0], lookAt[1], lookAt[2], 0, 1, 0);
    // The view only moves the eye back: its inverse's rotation is the identity.
    const float billboard[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    ParticleList particles, spent;
    particles.push_back(std::make_unique<Particle>());
    particles.back()->type = "fade";
    particles.back()->particleType = ParticleType::Fade;
    particles.back()->fadetime = 4.0f;
    particles.back()->position = {0.5f, 0, 0};  // right of the centre on screen

    // The square is 0.4 wide at distance 2: about 104 pixels; its centre is
    // at 400 + 0.5 / (2 tan 30 deg) * 300 * 4 / 3 ... in x, 300 in y.
    const int cx = 400 + static_cast<int>(0.5f / (2.0f * std::tan(0.5236f)) * 300.0f), cy = 300;
    const int ring = cx + 26;  // half way out, where the sprite is lightest
    paint(0.2f, 0.2f, 0.2f);
    advanceParticles(particles, spent, 10.0f, eye, lookAt);
    drawParticles(texture, particles, billboard, 10.0f);
    const test::Rgba centre = test::pixelAt(cx, cy), rim = test::pixelAt(ring, cy), away = test::pixelAt(200, cy);
    const std::string frame = test::saveFrameForInspection("particle-born");
    EXPECT_LT(centre.r, 30) << "the sprite darkens its centre; frame " << frame;
    EXPECT_NE(rim.r, 51) << "the sprite changes its rim; frame " << frame;
    EXPECT_NEAR(away.r, 51, 1) << frame;

    paint(0.2f, 0.2f, 0.2f);
    advanceParticles(particles, spent, 13.9f, eye, lookAt);
    drawParticles(texture, particles, billboard, 13.9f);
    EXPECT_NEAR(test::pixelAt(cx, cy).r, 51, 1)
        << "faded out under the alpha test; frame " << test::saveFrameForInspection("particle-faded");
    ASSERT_EQ(particles.size(), 1u);
    advanceParticles(particles, spent, 14.1f, eye, lookAt);
    EXPECT_TRUE(particles.empty());
    EXPECT_EQ(spent.size(), 1u) << "kept for the next particle spawned";
    glLoadIdentity();
    glDeleteTextures(1, &texture.name);
}

// ---- Captions ---------------------------------------------------------------

class Captions : public EffectsOnScreen {
protected:
    static void SetUpTestSuite() {
        fontFile_ = (fs::temp_directory_path() / ("xmoplay-dejavu-" + std::to_string(::getpid()) + ".txf")).string();
        madeProblem_ = makeTxfFont(kDejaVuSans, fontFile_, TxfMakerOptions{});
    }
    static void TearDownTestSuite() { fs::remove(fontFile_); }

    void SetUp() override {
        EffectsOnScreen::SetUp();
        if (IsSkipped()) return;
        if (!canLoadCaptionFonts()) GTEST_SKIP() << "PLIB loads fonts only with a GLX context (run under Xvfb)";
        ASSERT_EQ(madeProblem_, "");
    }

    std::unique_ptr<Text> text(const char* write, Vec2f position = {-1000, -1000}, float size = 0,
                               bool withFont = false) {
        auto t = std::make_unique<Text>();
        t->writetext = write;
        t->position = position;
        t->size = size;
        if (withFont) {
            t->loadfont = fontFile_;
            CaptionFontLoad load = loadCaptionFont(fontFile_);
            EXPECT_EQ(load.problem, "");
            t->font = std::move(load.font);
        }
        return t;
    }
    std::unique_ptr<TextChunk> chunk(float start, float end) {
        auto c = std::make_unique<TextChunk>();
        c->starttime = start;
        c->endtime = end;
        return c;
    }

    static std::string fontFile_, madeProblem_;
};
std::string Captions::fontFile_, Captions::madeProblem_;

// A frame's captions: drawn from where the pen stood, which moves on.
void drawCaptions(CaptionRenderer& captions, const std::vector<std::unique_ptr<TextChunk>>& chunks, float t,
                  CaptionPen& pen) {
    const CaptionPen start = pen;
    walkTextChunks(chunks, t, pen, captions.latin1);
    drawTextChunks(captions, chunks, t, start);
}

// Screen place of a caption point: -60..60 on both axes over 800 x 600.
int screenX(float x) { return static_cast<int>(400 + x * 800 / 120); }
int screenY(float y) { return static_cast<int>(300 - y * 600 / 120); }

TEST_F(Captions, GlyphsAppearWhereThePositionPutsThemAndTheRendererCarriesOn) {
    CaptionRenderer captions;
    CaptionPen pen;
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(1.0f, 3.0f));
    chunks[0]->texts.push_back(text("H", {-40, 0}, 20, true));
    chunks[0]->texts.push_back(text("I"));  // after the H, at the same size
    paint(0, 0, 0);
    drawCaptions(captions, chunks, 2.0f, pen);
    const std::string frame = test::saveFrameForInspection("caption-carry");
    // The H's capitals stand on the baseline, 20 units (100 pixels) tall.
    EXPECT_GT(brightPixels(screenX(-40), screenY(20), screenX(-26), screenY(0)), 1000) << frame;
    EXPECT_EQ(brightPixels(0, 0, 800, screenY(21)), 0) << "above the capitals; frame " << frame;
    EXPECT_EQ(brightPixels(0, screenY(-6), 800, 600), 0) << "below the baseline; frame " << frame;
    EXPECT_EQ(brightPixels(0, 0, screenX(-40), 600), 0) << "left of the position; frame " << frame;
    // The I follows the H's advance (the font's own metrics, in capital
    // heights) and nothing is drawn beyond it.
    fntTexFont& glyphs = *static_cast<TxfCaptionFont&>(*chunks[0]->texts[0]->font).glyphs;
    float advanceH = 0, advanceI = 0, tex[4], left = 0, right = 0, bottom = 0, top = 0;
    ASSERT_TRUE(glyphs.getGlyph('H', &advanceH, &tex[0], &tex[1], &tex[2], &tex[3], &left, &right, &bottom, &top));
    ASSERT_TRUE(glyphs.getGlyph('I', &advanceI, &tex[0], &tex[1], &tex[2], &tex[3], &left, &right, &bottom, &top));
    const float penI = -40 + (advanceH + glyphs.getGap()) * 20;
    EXPECT_GT(brightPixels(screenX(penI + left * 20), screenY(20), screenX(penI + right * 20), screenY(0)), 300)
        << frame;
    EXPECT_EQ(brightPixels(screenX(penI + right * 20) + 2, 0, 800, 600), 0) << frame;
    EXPECT_EQ(brightPixels(screenX(-40 + advanceH * 20), 0, screenX(penI + left * 20) - 1, 600), 0) << frame;

    // Next frame, a later chunk: the font carries over from the first.
    chunks.push_back(chunk(1.0f, 3.0f));
    chunks[0]->starttime = 2.5f;
    chunks[1]->texts.push_back(text("H", {10, -30}));
    paint(0, 0, 0);
    drawCaptions(captions, chunks, 2.0f, pen);
    const std::string next = test::saveFrameForInspection("caption-next-frame");
    EXPECT_GT(brightPixels(screenX(10), screenY(-10), screenX(24), screenY(-30)), 1000) << next;
    EXPECT_EQ(brightPixels(0, 0, screenX(9), 600), 0) << next;
    // Strict window: nothing at either end.
    for (float t : {1.0f, 3.0f}) {
        paint(0, 0, 0);
        drawCaptions(captions, chunks, t, pen);
        EXPECT_EQ(brightPixels(0, 0, 800, 600), 0) << "at " << t;
    }
}

TEST_F(Captions, PointSizeIsTenUntilATextSetsOne) {
    CaptionRenderer captions;
    CaptionPen pen;
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(0.0f, 1.0f));
    chunks[0]->texts.push_back(text("H", {0, 0}, 0, true));
    paint(0, 0, 0);
    drawCaptions(captions, chunks, 0.5f, pen);
    const std::string frame = test::saveFrameForInspection("caption-default-size");
    EXPECT_GT(brightPixels(screenX(0), screenY(10), screenX(7), screenY(0)), 300) << frame;
    EXPECT_EQ(brightPixels(0, 0, 800, screenY(11)), 0) << frame;
}

TEST_F(Captions, ThePenMovesWithoutDrawingExactlyAsTheFontLibraryMovesItWhenPrinting) {
    const std::unique_ptr<Text> withFont = text("", {0, 0}, 0, true);
    auto& font = static_cast<TxfCaptionFont&>(*withFont->font);
    const struct {
        const char* latin1;
        float pointSize;
    } cases[] = {
        {"Brick films", 20.0f}, {"x", 3.7f},     {"two\nlines", 6.0f}, {"tab\there", 11.0f},
        {"\xE9t\xE9 \xFF", 1.0f}, {"~{}|0123", 0.3f}, {"", 10.0f},
    };
    for (const auto& c : cases) {
        const Vec2f from{-41.25f, 13.5f};
        sgVec3 printed = {from[0], from[1], 0.0f};
        font.glyphs->puts(printed, c.pointSize, 0.0f, c.latin1);
        const Vec2f moved = advancePen(font, c.pointSize, from, c.latin1);
        EXPECT_EQ(moved[0], printed[0]) << c.latin1;
        EXPECT_EQ(moved[1], printed[1]) << c.latin1;
    }
}

TEST_F(Captions, AFontFileCutShortNeverReachesTheFontLibrary) {
    const std::string whole = test::readFile(fontFile_);
    const std::string cut = fontFile_ + ".cut.txf";
    std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() - 1);
    CaptionFontLoad load = loadCaptionFont(cut);
    fs::remove(cut);
    EXPECT_NE(load.problem.find("the file holds"), std::string::npos) << load.problem;
    ASSERT_TRUE(load.font);
    EXPECT_FALSE(load.font->loaded);
}

// ---- Tiles ------------------------------------------------------------------

TEST_F(Captions, ATileShowsItsFirstRowAtTheTopHidesCaptionsAndAFadeCoversIt) {
    Image card{640, 480, {}};
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            card.pixels.insert(card.pixels.end(), {std::uint8_t(y < 240 ? 0 : 255), 0, std::uint8_t(y < 240 ? 255 : 0), 255});
    std::vector<std::unique_ptr<Tiles>> tiles;
    tiles.push_back(std::make_unique<Tiles>());
    tiles[0]->starttime = 2.0f;
    tiles[0]->endtime = 5.0f;
    uploadTile(*tiles[0], card);
    ASSERT_NE(tiles[0]->texture, 0u);

    CaptionRenderer captions;
    CaptionPen pen;
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(0.0f, 10.0f));
    chunks[0]->texts.push_back(text("HHHH", {-40, 0}, 20, true));
    const auto drawAt = [&](float t) {
        paint(0, 0, 0);
        drawCaptions(captions, chunks, t, pen);
        drawTiles(tiles, t);
    };
    drawAt(2.0f);
    const std::string frame = test::saveFrameForInspection("tile-red-over-blue");
    for (int y : {2, 150, 290}) {
        const test::Rgba c = test::pixelAt(400, y);
        EXPECT_TRUE(c.r > 250 && c.b < 5) << "red at row " << y << "; frame " << frame;
    }
    for (int y : {310, 450, 597}) {
        const test::Rgba c = test::pixelAt(400, y);
        EXPECT_TRUE(c.b > 250 && c.r < 5) << "blue at row " << y << "; frame " << frame;
    }
    EXPECT_EQ(brightPixels(0, 0, 800, 600), 0) << "the caption shows through; frame " << frame;

    std::vector<std::unique_ptr<SpecialEffect>> fades;
    fades.push_back(std::make_unique<SpecialEffect>());
    fades[0]->type = "blackfadeout";
    fades[0]->fadeType = FadeType::BlackFadeOut;
    fades[0]->starttime = 4.0f;
    fades[0]->endtime = 6.0f;
    drawAt(5.0f);
    drawFades(fades, 5.0f);
    EXPECT_NEAR(test::pixelAt(400, 100).r, 128, 2) << "the fade goes over the tile";

    for (float t : {1.99f, 5.01f}) {
        drawAt(t);
        EXPECT_EQ(test::pixelAt(400, 100).r, 0) << "no tile at " << t;
        EXPECT_GT(brightPixels(0, 0, 800, 600), 1000) << "the caption at " << t;
    }
    glDeleteTextures(1, &tiles[0]->texture);
}

}  // namespace
}  // namespace xmo
