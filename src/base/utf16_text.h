// Films and scene files saved as UTF-16 (what some editors call "Unicode"):
// how such a file is recognised, and its text turned into UTF-8 chunk by
// chunk, so that the XML front end and everything after it see UTF-8 only.
//
// A file is UTF-16 when it starts with a byte-order mark, or, without one,
// when it starts with an XML declaration written in 16-bit units that names
// no other encoding. Malformed UTF-16 (a lone surrogate, an odd byte at the
// end, a NUL) becomes a byte that no UTF-8 text may hold, so the parser
// refuses the file at that very place. Depends on nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace xmo {

enum class ByteOrder { LittleEndian, BigEndian };

struct Utf16Start {
    ByteOrder order;
    std::size_t markBytes;  // 2 after a byte-order mark, else 0
};

// What the first bytes of a file say: nothing when it is not UTF-16. The
// declaration is looked for in the bytes given, so give the whole first chunk.
std::optional<Utf16Start> detectUtf16(const char* bytes, std::size_t size);

class Utf16ToUtf8 {
public:
    explicit Utf16ToUtf8(ByteOrder order) : order_(order) {}

    // The most that convert writes for `size` bytes of input.
    static std::size_t maxOutput(std::size_t size) { return 3 * (size / 2 + 1) + 2; }

    // Converts the next bytes of the file into out and returns how many bytes
    // it wrote. A code unit or surrogate pair cut by the chunk's end waits for
    // the next call; after the last call nothing waits.
    std::size_t convert(const char* in, std::size_t size, char* out, bool last);

private:
    char* put(char* out, std::uint32_t codePoint);

    ByteOrder order_;
    bool hasOddByte_ = false;
    unsigned char oddByte_ = 0;
    std::uint16_t highSurrogate_ = 0;  // 0: none waiting
};

}  // namespace xmo
