#include "effects/latin1_text.h"

#include <cstdint>

namespace xmo {

namespace {

// The character at text[at], its length in bytes in `length`; nothing when
// the bytes there are not well-formed UTF-8 (length is then 1).
std::optional<char32_t> decodeOne(std::string_view text, std::size_t at, std::size_t& length) {
    length = 1;
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return lead;
    std::size_t count = 0;
    char32_t code = 0, minimum = 0;
    if ((lead & 0xE0) == 0xC0) count = 2, code = lead & 0x1F, minimum = 0x80;
    else if ((lead & 0xF0) == 0xE0) count = 3, code = lead & 0x0F, minimum = 0x800;
    else if ((lead & 0xF8) == 0xF0) count = 4, code = lead & 0x07, minimum = 0x10000;
    else return std::nullopt;
    if (at + count > text.size()) return std::nullopt;
    for (std::size_t i = 1; i < count; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return std::nullopt;
        code = code << 6 | (byte(i) & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
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
