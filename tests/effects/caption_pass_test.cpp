#include "effects/caption_pass.h"

#include <gtest/gtest.h>

#include <sstream>

#include "effects/latin1_text.h"

namespace xmo {
namespace {

// A loaded font whose lower-case letters move the pen by half the point
// size and whose digits by a quarter; it has no capitals and no space.
class NamedFont : public CaptionFont {
public:
    explicit NamedFont(std::string name) : name(std::move(name)) {
        loaded = true;
        for (unsigned c = 'a'; c <= 'z'; ++c) setGlyph(c, 0.5f);
        for (unsigned c = '0'; c <= '9'; ++c) setGlyph(c, 0.25f);
    }
    void setGlyph(unsigned c, float width) {
        hasGlyph[c] = true;
        advance[c] = width;
    }
    std::string name;
};

// Logs what a drawn frame prints, and where.
class Recorder : public CaptionTarget {
public:
    void beginChunk() override { log.push_back("("); }
    void endChunk() override { log.push_back(")"); }
    void setColour(Vec3f c) override { log.push_back(describe("colour", c[0], c[1], c[2])); }
    void print(const CaptionFont& font, float size, Vec2f pen, const std::string& text) override {
        log.push_back(describe(("print " + text + " in " + static_cast<const NamedFont&>(font).name).c_str(), size,
                               pen[0], pen[1]));
    }

    std::vector<std::string> take() { return std::exchange(log, {}); }

    std::vector<std::string> log;

private:
    template <typename... T>
    static std::string describe(const char* what, T... values) {
        std::ostringstream out;
        out << what;
        ((out << ' ' << values), ...);
        return out.str();
    }
};

struct TextSpec {
    const char* write = "";
    const char* font = "";  // a font file; "bad" stands for one that did not load
    Vec3f colour{-1, -1, -1};
    Vec2f position{-1000, -1000};
    float size = 0;
};

std::unique_ptr<TextChunk> chunk(float start, float end, std::initializer_list<TextSpec> texts) {
    auto c = std::make_unique<TextChunk>();
    c->starttime = start;
    c->endtime = end;
    for (const TextSpec& spec : texts) {
        auto t = std::make_unique<Text>();
        t->writetext = spec.write;
        t->loadfont = spec.font;
        if (*spec.font) t->font = std::make_unique<NamedFont>(spec.font);
        if (std::string(spec.font) == "bad") t->font->loaded = false;
        t->color = spec.colour;
        t->position = spec.position;
        t->size = spec.size;
        c->texts.push_back(std::move(t));
    }
    return c;
}

using Log = std::vector<std::string>;

// The pen as a frame that is drawn moves it and as one that is only advanced
// does: the same, and only the drawn one prints.
Log walk(const std::vector<std::unique_ptr<TextChunk>>& chunks, float t, CaptionPen& pen) {
    CaptionPen advanced = pen;
    std::string latin1;
    walkTextChunks(chunks, t, advanced, latin1);
    Recorder r;
    walkTextChunks(chunks, t, pen, latin1, &r);
    EXPECT_EQ(advanced.font, pen.font);
    EXPECT_EQ(advanced.position, pen.position);
    EXPECT_EQ(advanced.pointSize, pen.pointSize);
    return r.take();
}

TEST(CaptionPass, TheTimeWindowIsOpenAtBothEnds) {
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(1.0f, 3.0f, {{"x"}}));
    CaptionPen pen;
    for (float t : {1.0f, 3.0f, 0.5f, 3.5f}) EXPECT_TRUE(walk(chunks, t, pen).empty()) << t;
    for (float t : {1.001f, 2.0f, 2.999f}) EXPECT_EQ(walk(chunks, t, pen), (Log{"(", ")"})) << t;
}

TEST(CaptionPass, FontPenAndSizeCarryOnAcrossTextsChunksAndFramesAndNothingPrintsWithoutAFont) {
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(0, 10,
                           {
                               {"too early"},  // no font yet: skipped
                               {"one", "a.txf", {1, 0, 0}, {-50, 20}, 4},
                               {"two"},  // goes on at the pen (3 letters of 2), size 4, red
                           }));
    chunks.push_back(chunk(0, 20, {{"three", "", {0, 0, 1}}}));
    CaptionPen pen;
    EXPECT_EQ(walk(chunks, 5.0f, pen), (Log{"(", "colour 1 0 0", "print one in a.txf 4 -50 20",
                                            "print two in a.txf 4 -44 20", ")", "(", "colour 0 0 1",
                                            "print three in a.txf 4 -38 20", ")"}));
    EXPECT_EQ(pen.position, (Vec2f{-28, 20}));
    // A later frame: the font and the pen of the earlier one carry on.
    EXPECT_EQ(walk(chunks, 15.0f, pen), (Log{"(", "colour 0 0 1", "print three in a.txf 4 -28 20", ")"}));
}

TEST(CaptionPass, AFontThatDidNotLoadPrintsNothingUntilAnotherIsSet) {
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(0, 10, {{"a", "good.txf"}, {"b", "bad"}, {"c"}}));
    chunks.push_back(chunk(0, 10, {{"d"}, {"e", "other.txf", {-1, -1, -1}, {0, 0}}}));
    CaptionPen pen;
    EXPECT_EQ(walk(chunks, 1.0f, pen),
              (Log{"(", "print a in good.txf 10 0 0", ")", "(", "print e in other.txf 10 0 0", ")"}));
    EXPECT_EQ(pen.position, (Vec2f{5, 0}));
}

TEST(CaptionPass, ThePenMovesByEachGlyphsAdvance) {
    const NamedFont font("f");
    const struct {
        const char* latin1;
        Vec2f end;  // from (10, 20) at point size 4
    } cases[] = {
        {"", {10, 20}},
        {"ab", {14, 20}},
        {"AB", {14, 20}},  // no capitals: the lower-case glyphs print
        {"a b", {16, 20}},  // no space: half the point size
        {"a\tb", {14, 20}},  // another missing character: nothing
        {"09", {12, 20}},
        {"ab\nc", {12, 16}},  // a line end: back to the start, one size down
    };
    for (const auto& c : cases) EXPECT_EQ(advancePen(font, 4.0f, {10, 20}, c.latin1), c.end) << c.latin1;
    EXPECT_EQ(advancePen(font, 4.0f, {10, 20}, std::string("a\0bc", 4)), (Vec2f{12, 20})) << "ends at a NUL";
}

TEST(Latin1Text, CaptionsReachTheFontsAsLatin1) {
    const struct {
        const char* utf8;
        const char* latin1;
        bool wellFormed;
    } cases[] = {
        {"Brick", "Brick", true},
        {"J\xC3\xB6rg \xC3\x85sa \xC3\xBF", "J\xF6rg \xC5sa \xFF", true},
        {"\xE2\x82\xAC!", "?!", true},  // the euro sign is not Latin-1
        {"\xF0\x9F\x8E\xAC.", "?.", true},
        {"a\xC3", "a?", false},               // cut short
        {"\xC0\x80", "??", false},            // overlong
        {"\xED\xA0\x80", "???", false},       // a surrogate
        {"\xF4\x90\x80\x80", "????", false},  // past U+10FFFF
        {"\x80x", "?x", false},
    };
    std::string out;
    for (const auto& c : cases) {
        convertUtf8ToLatin1(c.utf8, out);
        EXPECT_EQ(out, c.latin1) << c.utf8;
        EXPECT_EQ(decodeUtf8(c.utf8).has_value(), c.wellFormed) << c.utf8;
    }
}

}  // namespace
}  // namespace xmo
