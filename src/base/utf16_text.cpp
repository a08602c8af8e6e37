#include "base/utf16_text.h"

#include <cctype>
#include <string>

namespace xmo {

namespace {

// A byte that never occurs in UTF-8: expat reports it as an invalid token.
constexpr unsigned char kMalformed = 0xFF;

bool isHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

std::uint16_t unitAt(const unsigned char* p, ByteOrder order) {
    return order == ByteOrder::LittleEndian ? static_cast<std::uint16_t>(p[0] | p[1] << 8)
                                            : static_cast<std::uint16_t>(p[0] << 8 | p[1]);
}

// The ASCII text of an XML declaration written in 16-bit units, up to "?>";
// empty when the bytes do not start with one.
std::string declarationText(const unsigned char* bytes, std::size_t size, ByteOrder order) {
    std::string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const std::uint16_t unit = unitAt(bytes + i, order);
        if (unit == 0 || unit > 0x7F) break;
        text += static_cast<char>(unit);
        if (text.size() >= 2 && text.compare(text.size() - 2, 2, "?>") == 0) break;
    }
    return text.rfind("<?xml", 0) == 0 ? text : std::string();
}

std::string lowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The value of encoding="..." in a declaration, empty when none is named.
std::string declaredEncoding(const std::string& declaration) {
    const std::size_t name = declaration.find("encoding");
    if (name == std::string::npos) return {};
    std::size_t p = declaration.find_first_not_of(" \t\r\n", name + 8);
    if (p == std::string::npos || declaration[p] != '=') return {};
    p = declaration.find_first_not_of(" \t\r\n", p + 1);
    if (p == std::string::npos || (declaration[p] != '"' && declaration[p] != '\'')) return {};
    const std::size_t end = declaration.find(declaration[p], p + 1);
    if (end == std::string::npos) return {};
    return declaration.substr(p + 1, end - p - 1);
}

}  // namespace

std::optional<Utf16Start> detectUtf16(const char* data, std::size_t size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return Utf16Start{ByteOrder::LittleEndian, 2};
    if (size >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return Utf16Start{ByteOrder::BigEndian, 2};
    for (const ByteOrder order : {ByteOrder::LittleEndian, ByteOrder::BigEndian}) {
        const std::string declaration = declarationText(bytes, size, order);
        if (declaration.empty()) continue;
        const std::string encoding = lowerCase(declaredEncoding(declaration));
        if (encoding.empty() || encoding.rfind("utf-16", 0) == 0) return Utf16Start{order, 0};
    }
    return std::nullopt;
}

char* Utf16ToUtf8::put(char* out, std::uint32_t c) {
    auto* o = reinterpret_cast<unsigned char*>(out);
    if (c == 0) {
        *o++ = kMalformed;
    } else if (c < 0x80) {
        *o++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        *o++ = static_cast<unsigned char>(0xC0 | c >> 6);
        *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *o++ = static_cast<unsigned char>(0xE0 | c >> 12);
        *o++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        *o++ = static_cast<unsigned char>(0xF0 | c >> 18);
        *o++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
        *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    return reinterpret_cast<char*>(o);
}

std::size_t Utf16ToUtf8::convert(const char* in, std::size_t size, char* out, bool last) {
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    const auto* end = p + size;
    char* o = out;
    unsigned char unitBytes[2];
    while (p != end) {
        if (!hasOddByte_) {
            if (end - p < 2) {
                oddByte_ = *p++;
                hasOddByte_ = true;
                break;
            }
            unitBytes[0] = *p++;
            unitBytes[1] = *p++;
        } else {
            unitBytes[0] = oddByte_;
            unitBytes[1] = *p++;
            hasOddByte_ = false;
        }
        const std::uint16_t unit = unitAt(unitBytes, order_);
        if (highSurrogate_) {
            if (isLowSurrogate(unit)) {
                o = put(o, 0x10000 + ((std::uint32_t{highSurrogate_} - 0xD800) << 10) + (unit - 0xDC00));
                highSurrogate_ = 0;
                continue;
            }
            *o++ = static_cast<char>(kMalformed);
            highSurrogate_ = 0;
        }
        if (isHighSurrogate(unit)) highSurrogate_ = unit;
        else if (isLowSurrogate(unit)) *o++ = static_cast<char>(kMalformed);
        else o = put(o, unit);
    }
    if (last && (hasOddByte_ || highSurrogate_)) {
        *o++ = static_cast<char>(kMalformed);
        hasOddByte_ = false;
        highSurrogate_ = 0;
    }
    return static_cast<std::size_t>(o - out);
}

}  // namespace xmo
