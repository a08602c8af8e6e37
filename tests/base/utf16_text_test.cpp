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

// The forms that are UTF-16 are read in xml_front_end_test; these are not.
TEST(Utf16Text, SixteenBitUnitsWithoutAMarkCountOnlyWithADeclarationThatAllowsThem) {
    for (const std::string& bytes : {units(u"<?xml version='1.0' encoding='UTF-8'?>", ByteOrder::LittleEndian),
                                     units(u"<Movie/>", ByteOrder::BigEndian), std::string("<?xml version='1.0'?>"),
                                     std::string("\xFF")})
        EXPECT_FALSE(detectUtf16(bytes.data(), bytes.size())) << bytes;
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
