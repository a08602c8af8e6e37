// The TXF layout (what a caption font file must be before PLIB may load it)
// and the font maker's output.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "effects/txf_format.h"
#include "effects/txf_maker.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A two-glyph font in a 16 x 8 byte texture.
TxfFont smallFont() {
    TxfFont f;
    f.textureWidth = 16;
    f.textureHeight = 8;
    f.maxAscent = 6;
    f.maxDescent = 2;
    f.glyphs.push_back({'A', 5, 7, 0, 0, 6, 1, 0});
    f.glyphs.push_back({0xE9, 5, 8, 0, -2, 6, 10, 0});
    f.texels.assign(16 * 8, 0);
    for (std::size_t i = 0; i < f.texels.size(); ++i) f.texels[i] = static_cast<std::uint8_t>(i * 7);
    return f;
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::int32_t v) { std::memcpy(&bytes[at], &v, 4); }

TEST(TxfFormat, WhatIsWrittenReadsBackTheSame) {
    const TxfFont font = smallFont();
    const std::vector<std::uint8_t> bytes = encodeTxf(font);
    ASSERT_EQ(bytes.size(), 32u + 2 * 12 + 16 * 8);
    const TxfReadResult read = readTxf(bytes.data(), bytes.size());
    ASSERT_TRUE(read.font) << read.problem;
    EXPECT_EQ(read.font->textureWidth, 16);
    EXPECT_EQ(read.font->maxDescent, 2);
    ASSERT_EQ(read.font->glyphs.size(), 2u);
    EXPECT_EQ(read.font->glyphs[1].code, 0xE9);
    EXPECT_EQ(read.font->glyphs[1].yOffset, -2);
    EXPECT_EQ(read.font->glyphs[1].x, 10);
    EXPECT_EQ(read.font->texels, font.texels);

    // The same font written big-endian.
    std::vector<std::uint8_t> big = bytes;
    for (std::size_t at = 4; at < 32; at += 4) std::reverse(big.begin() + at, big.begin() + at + 4);
    for (std::size_t at = 32; at < 56; at += 12)
        for (std::size_t field : {0, 8, 10}) std::swap(big[at + field], big[at + field + 1]);
    const TxfReadResult bigRead = readTxf(big.data(), big.size());
    ASSERT_TRUE(bigRead.font) << bigRead.problem;
    EXPECT_EQ(bigRead.font->glyphs[1].code, 0xE9);
    EXPECT_EQ(bigRead.font->glyphs[1].x, 10);
    EXPECT_EQ(bigRead.font->textureHeight, 8);
}

TEST(TxfFormat, BrokenOrHostileFilesAreRefusedWithTheReason) {
    const std::vector<std::uint8_t> good = encodeTxf(smallFont());
    const struct {
        const char* name;
        std::size_t at;      // where to write
        std::int32_t value;  // a 32-bit value, or a byte with `byte`
        bool byte;
        const char* reason;  // part of the problem
    } cases[] = {
        {"magic", 1, 'T', true, "0xFF \"txf\""},
        {"byte order", 4, 0x11223344, false, "byte-order mark"},
        {"format", 8, 2, false, "texture format 2"},
        {"no width", 12, 0, false, "texture size 0 x 8"},
        {"huge height", 16, 70000, false, "outside 1 to 4096"},
        {"no ascent", 20, 0, false, "ascent 0"},
        {"negative descent", 24, -1, false, "descent -1"},
        {"negative count", 28, -1, false, "negative TXF glyph count"},
        {"count past the end", 28, 0x7FFFFFFF, false, "runs past the end"},
        {"glyph past the right", 32 + 12 + 8, 12, true, "outside the texture"},        // x 12 + width 5 > 16
        {"glyph below the texture", 32 + 12 + 11, 0xFF, true, "outside the texture"},  // y negative
        {"glyph too tall", 32 + 3, 9, true, "outside the texture"},
        {"bitmap format size", 8, 1, false, ""},  // still consistent: the bitmap texture is smaller
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        if (c.byte)
            bytes[c.at] = static_cast<std::uint8_t>(c.value);
        else
            put32(bytes, c.at, c.value);
        const TxfReadResult read = readTxf(bytes.data(), bytes.size());
        if (!*c.reason) {
            EXPECT_TRUE(read.font) << c.name << ": " << read.problem;
            continue;
        }
        EXPECT_FALSE(read.font) << c.name;
        EXPECT_NE(read.problem.find(c.reason), std::string::npos) << c.name << ": " << read.problem;
    }
    // Every file cut short is refused.
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(readTxf(good.data(), size).font) << "cut to " << size;
    EXPECT_NE(checkTxfFile("no-such-font.txf").find("cannot open"), std::string::npos);
}

TEST(TxfMaker, DejaVuSansGivesEveryChosenGlyphApartOnItsBaseline) {
    const TxfMakeResult made = renderTxfFont(kDejaVuSans, TxfMakerOptions{});
    ASSERT_TRUE(made.font) << made.problem;
    EXPECT_TRUE(made.missing.empty());
    const TxfFont& f = *made.font;
    EXPECT_EQ(f.glyphs.size(), 95u + 62u);
    EXPECT_EQ(f.maxAscent, 35);  // DejaVu's capitals are 0.729 em: 35 of 48 pixels
    const std::vector<std::uint8_t> bytes = encodeTxf(f);
    ASSERT_TRUE(readTxf(bytes.data(), bytes.size()).font);

    const auto blank = [&](int x, int y) { return f.texels[std::size_t(y) * f.textureWidth + x] == 0; };
    for (std::size_t i = 0; i < f.glyphs.size(); ++i) {
        const TxfGlyph& g = f.glyphs[i];
        // The box's edge is blank, and boxes keep apart.
        for (int x = g.x; x < g.x + g.width; ++x)
            ASSERT_TRUE(blank(x, g.y) && blank(x, g.y + g.height - 1)) << "glyph " << g.code;
        for (int y = g.y; y < g.y + g.height; ++y)
            ASSERT_TRUE(blank(g.x, y) && blank(g.x + g.width - 1, y)) << "glyph " << g.code;
        for (std::size_t j = 0; j < i; ++j) {
            const TxfGlyph& o = f.glyphs[j];
            const bool apart = g.x + g.width + 2 <= o.x || o.x + o.width + 2 <= g.x || g.y + g.height + 2 <= o.y ||
                               o.y + o.height + 2 <= g.y;
            ASSERT_TRUE(apart) << "glyphs " << g.code << " and " << o.code;
        }
    }
    const auto glyph = [&](char32_t code) {
        return *std::find_if(f.glyphs.begin(), f.glyphs.end(), [&](const TxfGlyph& g) { return g.code == code; });
    };
    // Capitals stand on the baseline and reach the ascent; descenders go below.
    EXPECT_EQ(glyph('H').yOffset, -1);
    EXPECT_EQ(glyph('H').height - 2, 35);
    EXPECT_LT(glyph('g').yOffset, -5);
    EXPECT_GT(glyph(0xC5).height - 2 + glyph(0xC5).yOffset + 1, 35);  // the ring above Å
    EXPECT_EQ(glyph(' ').width, 2);
    EXPECT_GT(glyph(' ').advance, 0);
}

TEST(TxfMaker, RefusesWhatItCannotMakeAndWritesNothingThen) {
    const struct {
        const char* font;
        TxfMakerOptions options;
        const char* reason;
    } cases[] = {
        {kDejaVuSans, {3, "abc"}, "pixel size 3"},
        {kDejaVuSans, {101, "abc"}, "pixel size 101"},
        {kDejaVuSans, {24, "a\xE2\x82\xAC"}, "U+20AC is not a Latin-1 character"},
        {kDejaVuSans, {24, "a\xFF"}, "not valid UTF-8"},
        {kDejaVuSans, {24, ""}, "no characters"},
        {"no-such-font.ttf", {24, "abc"}, "cannot read no-such-font.ttf"},
        {XMO_TEST_DATA "/movie/basic.xmo", {24, "abc"}, "as a font"},
    };
    const fs::path folder = fs::temp_directory_path() / ("xmoplay-txf-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const fs::path out = folder / "out.txf";
    for (const auto& c : cases) {
        const std::string problem = makeTxfFont(c.font, out.string(), c.options);
        EXPECT_NE(problem.find(c.reason), std::string::npos) << c.reason << ": " << problem;
        EXPECT_FALSE(fs::exists(out)) << c.reason;
    }
    std::u32string missing;
    EXPECT_EQ(makeTxfFont(kDejaVuSans, out.string(), {16, "ab\x01"}, &missing), "");
    EXPECT_EQ(missing, U"\x01");
    EXPECT_EQ(checkTxfFile(out.string()), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << "a temporary file was left";
    EXPECT_NE(makeTxfFont(kDejaVuSans, (folder / "no-such-folder" / "x.txf").string(), {16, "ab"}), "");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace xmo
