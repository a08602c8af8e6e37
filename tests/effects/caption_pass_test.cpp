#include "effects/caption_pass.h"

#include <gtest/gtest.h>

#include <sstream>

#include "effects/latin1_text.h"

namespace xmo {
namespace {

class NamedFont : public CaptionFont {
public:
    explicit NamedFont(std::string name) : name(std::move(name)) {}
    std::string name;
};

// Logs the renderer calls; keeps a font across chunks and frames as the real
// renderer does.
class Recorder : public CaptionTarget {
public:
    void beginChunk() override { log.push_back("("); }
    void endChunk() override { log.push_back(")"); }
    void setFont(const CaptionFont* f) override {
        font = f;
        log.push_back("font " + (f ? static_cast<const NamedFont*>(f)->name : std::string("none")));
    }
    bool hasFont() const override { return font != nullptr; }
    void beginFont() override { log.push_back("begin"); }
    void endFont() override { log.push_back("end"); }
    void setColour(Vec3f c) override { log.push_back(describe("colour", c[0], c[1], c[2])); }
    void startAt(Vec2f p) override { log.push_back(describe("at", p[0], p[1])); }
    void setPointSize(float size) override { log.push_back(describe("size", size)); }
    void print(const std::string& text) override { log.push_back("print " + text); }

    std::vector<std::string> take() { return std::exchange(log, {}); }

    const CaptionFont* font = nullptr;
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
        if (*spec.font && std::string(spec.font) != "bad") t->font = std::make_unique<NamedFont>(spec.font);
        t->color = spec.colour;
        t->position = spec.position;
        t->size = spec.size;
        c->texts.push_back(std::move(t));
    }
    return c;
}

using Log = std::vector<std::string>;

TEST(CaptionPass, TheTimeWindowIsOpenAtBothEnds) {
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(1.0f, 3.0f, {{"x"}}));
    Recorder r;
    for (float t : {1.0f, 3.0f, 0.5f, 3.5f}) {
        walkTextChunks(chunks, t, r);
        EXPECT_TRUE(r.take().empty()) << t;
    }
    for (float t : {1.001f, 2.0f, 2.999f}) {
        walkTextChunks(chunks, t, r);
        EXPECT_EQ(r.take(), (Log{"(", ")"})) << t;
    }
}

TEST(CaptionPass, FontPenAndSizeCarryOnAndNothingPrintsWithoutAFont) {
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(0, 10,
                           {
                               {"too early"},  // no font yet: skipped
                               {"one", "a.txf", {1, 0, 0}, {-50, 20}, 4},
                               {"two"},  // goes on at the pen, size 4, red
                           }));
    chunks.push_back(chunk(0, 20, {{"three", "", {0, 0, 1}}}));
    Recorder r;
    walkTextChunks(chunks, 5.0f, r);
    EXPECT_EQ(r.take(), (Log{"(", "font a.txf", "begin", "colour 1 0 0", "at -50 20", "size 4", "print one",
                             "print two", "end", ")", "(", "colour 0 0 1", "print three", ")"}));
    // A later frame: the font set in an earlier one still prints.
    walkTextChunks(chunks, 15.0f, r);
    EXPECT_EQ(r.take(), (Log{"(", "colour 0 0 1", "print three", ")"}));
}

TEST(CaptionPass, AFontThatDidNotLoadPrintsNothingUntilAnotherIsSet) {
    std::vector<std::unique_ptr<TextChunk>> chunks;
    chunks.push_back(chunk(0, 10, {{"a", "good.txf"}, {"b", "bad"}, {"c"}}));
    chunks.push_back(chunk(0, 10, {{"d"}, {"e", "other.txf", {-1, -1, -1}, {0, 0}}}));
    Recorder r;
    walkTextChunks(chunks, 1.0f, r);
    EXPECT_EQ(r.take(), (Log{"(", "font good.txf", "begin", "print a", "font none", ")", "(", "font other.txf", "begin",
                             "at 0 0", "print e", "end", ")"}));
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
