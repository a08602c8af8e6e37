#include "base/utf16_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace xmo {
namespace {

// "<?xml" and the rest in 16-bit units of the given order.
std::string units(const std::u16string& text, ByteOrder order) {
    std::string out;
    for (const char16_t u : text) {
        const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
        out += order == ByteOrder::BigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

TEST(Utf16Text, RecognisedByItsMarkOrByADeclarationThatNamesNoOtherEncoding) {
    const ByteOrder le = ByteOrder::LittleEndian, be = ByteOrder::BigEndian;
    const struct {
        const char* name;
        std::string bytes;
        std::optional<Utf16Start> expected;
    } cases[] = {
        {"mark, little-endian", "\xFF\xFE<\0" + std::string(1, '\0'), Utf16Start{le, 2}},
        {"mark, big-endian", std::string("\xFE\xFF\0<", 4), Utf16Start{be, 2}},
        {"declaration, no encoding", units(u"<?xml version='1.0'?><a/>", le), Utf16Start{le, 0}},
        {"declaration, UTF-16BE", units(u"<?xml version=\"1.0\" encoding = \"utf-16be\"?>", be), Utf16Start{be, 0}},
        {"declaration naming UTF-8", units(u"<?xml version='1.0' encoding='UTF-8'?>", le), std::nullopt},
        {"16-bit units without a declaration", units(u"<Movie/>", le), std::nullopt},
        {"UTF-8", "<?xml version='1.0'?><a/>", std::nullopt},
        {"UTF-8 with its mark", "\xEF\xBB\xBF<a/>", std::nullopt},
        {"one byte", "\xFF", std::nullopt},
    };
    for (const auto& c : cases) {
        const std::optional<Utf16Start> got = detectUtf16(c.bytes.data(), c.bytes.size());
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.name;
        if (!got) continue;
        EXPECT_EQ(got->order, c.expected->order) << c.name;
        EXPECT_EQ(got->markBytes, c.expected->markBytes) << c.name;
    }
}

// Converted whole and cut into two chunks at every byte: always the same
// UTF-8, within the promised size.
TEST(Utf16Text, ConvertsToUtf8WhereverTheChunksAreCut) {
    const std::string bad = "\xFF";
    const struct {
        const char* name;
        std::u16string text;
        std::string trailing;  // an odd byte at the very end
        std::string utf8;
    } cases[] = {
        {"ASCII and a line end", u"<a>\r\n", "", "<a>\r\n"},
        {"two and three bytes", u"\u00E9\u20AC", "", "\xC3\xA9\xE2\x82\xAC"},
        {"a surrogate pair", u"x\U0001F3ACy", "", "x\xF0\x9F\x8E\xACy"},
        {"a high surrogate alone", u"x\xD83Cy", "", "x" + bad + "y"},
        {"a low surrogate alone", u"x\xDF3Cy", "", "x" + bad + "y"},
        {"a high surrogate at the end", u"x\xD83C", "", "x" + bad},
        {"NUL", std::u16string(u"a\0b", 3), "", "a" + bad + "b"},
        {"an odd byte at the end", u"ab", "c", "ab" + bad},
    };
    for (const ByteOrder order : {ByteOrder::LittleEndian, ByteOrder::BigEndian}) {
        for (const auto& c : cases) {
            const std::string in = units(c.text, order) + c.trailing;
            for (std::size_t cut = 0; cut <= in.size(); ++cut) {
                Utf16ToUtf8 decoder(order);
                std::string out(Utf16ToUtf8::maxOutput(cut) + Utf16ToUtf8::maxOutput(in.size() - cut), '?');
                std::size_t n = decoder.convert(in.data(), cut, out.data(), false);
                EXPECT_LE(n, Utf16ToUtf8::maxOutput(cut));
                n += decoder.convert(in.data() + cut, in.size() - cut, out.data() + n, true);
                out.resize(n);
                EXPECT_EQ(out, c.utf8) << c.name << ", cut at " << cut;
            }
        }
    }
}

}  // namespace
}  // namespace xmo
