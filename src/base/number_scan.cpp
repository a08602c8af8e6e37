#include "base/number_scan.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace xmo {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The extent of the number at p: sign, mantissa (at least one digit, one
// decimal point at most), exponent. Returns null when p starts no number;
// *stop is where a stream would have stopped reading.
const char* numberEnd(const char* p, bool allowFraction, CutExponent cut, const char** stop) {
    const char* q = p;
    if (*q == '+' || *q == '-') ++q;
    const char* mantissa = q;
    while (isDigit(*q)) ++q;
    bool digits = q != mantissa;
    if (allowFraction && *q == '.') {
        const char* fraction = ++q;
        while (isDigit(*q)) ++q;
        digits = digits || q != fraction;
    }
    if (!digits) {
        *stop = q;
        return nullptr;
    }
    if (allowFraction && (*q == 'e' || *q == 'E')) {
        const char* e = q + 1;
        if (*e == '+' || *e == '-') ++e;
        if (!isDigit(*e)) {
            if (cut == CutExponent::EndsNumber) {
                *stop = q;
                return q;
            }
            *stop = e;
            return nullptr;
        }
        while (isDigit(*e)) ++e;
        q = e;
    }
    *stop = q;
    return q;
}

// Out-of-range values take the rare slow road through strtof, which knows
// underflow (a tiny value, kept) from overflow (the largest float, failing).
NumberScan convertFloat(const char* begin, const char* end, float& value) {
    const char* digits = *begin == '+' ? begin + 1 : begin;
    const auto result = std::from_chars(digits, end, value);
    if (result.ec == std::errc() && result.ptr == end) return NumberScan::Ok;
    const std::string copy(begin, end);
    errno = 0;
    const float v = std::strtof(copy.c_str(), nullptr);
    if (v == std::numeric_limits<float>::infinity() || v == -std::numeric_limits<float>::infinity()) {
        value = v > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
        return NumberScan::OutOfRange;
    }
    value = v;
    return NumberScan::Ok;
}

// Most numbers in films are short decimals ("0.5", "-36", "2.25"). When the
// digits form an integer m of at most 2^24 and there are at most ten of them
// after the point, m and 10^fraction are exact floats and one division gives
// the correctly rounded value, the same as from_chars, at a fraction of its
// cost. Returns the end of the number, or null to take the general road.
const char* scanShortDecimal(const char* p, float& value) {
    constexpr std::uint32_t kExactLimit = std::uint32_t{1} << 24;
    constexpr float kPowersOfTen[] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    std::uint32_t m = 0;
    int digits = 0;
    int fraction = 0;
    const auto take = [&](char c) {
        m = m * 10 + static_cast<std::uint32_t>(c - '0');
        ++digits;
        return m <= kExactLimit;
    };
    for (; isDigit(*p); ++p)
        if (!take(*p)) return nullptr;
    if (*p == '.') {
        for (++p; isDigit(*p); ++p, ++fraction)
            if (fraction == 10 || !take(*p)) return nullptr;
    }
    if (digits == 0 || *p == 'e' || *p == 'E') return nullptr;
    const float magnitude = static_cast<float>(m) / kPowersOfTen[fraction];
    value = negative ? -magnitude : magnitude;
    return p;
}

// Indices and counts are short: up to nine digits cannot overflow an int, so
// they are read in one pass. Returns the end of the number, or null to take
// the general road (no digit, or more than nine).
const char* scanShortInt(const char* p, int& value) {
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    const char* const limit = p + 9;
    unsigned digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0';
    if (digit > 9) return nullptr;
    unsigned magnitude = digit;
    for (++p; (digit = static_cast<unsigned>(static_cast<unsigned char>(*p)) - '0') <= 9; ++p) {
        if (p == limit) return nullptr;
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? -static_cast<int>(magnitude) : static_cast<int>(magnitude);
    return p;
}

}  // namespace

const char* skipBlanks(const char* p) {
    while (isBlank(*p)) ++p;
    return p;
}

NumberScan scanFloat(const char*& p, float& value, CutExponent cut) {
    p = skipBlanks(p);
    if (*p == '\0') return NumberScan::End;
    if (const char* end = scanShortDecimal(p, value)) {
        p = end;
        return NumberScan::Ok;
    }
    const char* stop = nullptr;
    const char* end = numberEnd(p, true, cut, &stop);
    if (!end) {
        value = 0.0f;
        p = stop;
        return NumberScan::Malformed;
    }
    const NumberScan scan = convertFloat(p, end, value);
    p = end;
    return scan;
}

NumberScan scanInt(const char*& p, int& value) {
    p = skipBlanks(p);
    if (*p == '\0') return NumberScan::End;
    if (const char* end = scanShortInt(p, value)) {
        p = end;
        return NumberScan::Ok;
    }
    const char* stop = nullptr;
    const char* end = numberEnd(p, false, CutExponent::Fails, &stop);
    if (!end) {
        value = 0;
        p = stop;
        return NumberScan::Malformed;
    }
    const char* digits = *p == '+' ? p + 1 : p;
    const auto result = std::from_chars(digits, end, value);
    p = end;
    if (result.ec == std::errc()) return NumberScan::Ok;
    value = *digits == '-' ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return NumberScan::OutOfRange;
}

bool scanFloats(const char*& p, float* out, int count) {
    for (int i = 0; i < count; ++i)
        if (scanFloat(p, out[i]) != NumberScan::Ok) return false;
    return true;
}

}  // namespace xmo
