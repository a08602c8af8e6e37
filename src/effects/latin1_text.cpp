#include "effects/latin1_text.h"

#include <cstdint>

namespace xmo {

namespace {

// The lead byte of each multi-byte sequence, its length and the least code
// it may carry (anything less is an overlong form).
struct Sequence {
    std::uint8_t leadMask, leadBits;
    std::size_t count;
    char32_t minimum;
};
constexpr Sequence kSequences[] = {{0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};

// The character at text[at], its length in bytes in `length`; nothing when
// the bytes there are not well-formed UTF-8 (length is then 1).
std::optional<char32_t> decodeOne(std::string_view text, std::size_t at, std::size_t& length) {
    length = 1;
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return lead;
    const Sequence* sequence = nullptr;
    for (const Sequence& s : kSequences)
        if ((lead & s.leadMask) == s.leadBits) sequence = &s;
    if (!sequence) return std::nullopt;
    const std::size_t count = sequence->count;
    char32_t code = lead & ~sequence->leadMask & 0xFF;
    if (at + count > text.size()) return std::nullopt;
    for (std::size_t i = 1; i < count; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return std::nullopt;
        code = code << 6 | (byte(i) & 0x3F);
    }
    if (code < sequence->minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    length = count;
    return code;
}

}  // namespace

std::optional<std::u32string> decodeUtf8(std::string_view text) {
    std::u32string out;
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        const auto code = decodeOne(text, at, length);
        if (!code) return std::nullopt;
        out.push_back(*code);
    }
    return out;
}

void convertUtf8ToLatin1(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t at = 0, length = 0; at < text.size(); at += length) {
        const auto code = decodeOne(text, at, length);
        out.push_back(code && *code <= 0xFF ? static_cast<char>(*code) : '?');
    }
}

}  // namespace xmo
