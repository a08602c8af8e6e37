// Making TXF caption fonts from TrueType and OpenType fonts with FreeType.
//
// Each chosen character is rendered anti-aliased at the given pixel size
// into a one-byte-per-texel texture, each glyph inside a one-texel blank
// border (the font loader samples half a texel beyond a glyph's box) and
// further apart by a gap, so that neither magnified nor mipmapped glyphs
// pick up their neighbours. The ascent written is the capital height, so
// a caption's point size is the height of its capitals, and the advances
// leave out the gap PLIB adds after every glyph. Fonts hold Latin-1
// characters only: caption glyphs are indexed by one byte.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "effects/txf_format.h"

namespace xmo {

inline constexpr int kDefaultTxfPixelSize = 48;
inline constexpr int kMinTxfPixelSize = 4;
inline constexpr int kMaxTxfPixelSize = 100;

// A character in messages: 'A' for printable ASCII, U+00C0 otherwise.
std::string describeCharacter(char32_t code);

// Printable ASCII and the Latin-1 letters, as UTF-8.
std::string defaultTxfCharacters();

struct TxfMakerOptions {
    int pixelSize = kDefaultTxfPixelSize;             // the em size in texels
    std::string characters = defaultTxfCharacters();  // UTF-8
};

struct TxfMakeResult {
    std::optional<TxfFont> font;  // empty when problem is set
    std::string problem;
    std::u32string missing;  // chosen characters the face has no glyph for
};

// Renders the characters of the face in the font file at fontPath.
TxfMakeResult renderTxfFont(const std::string& fontPath, const TxfMakerOptions& options);

// Renders and writes the font to outPath through a temporary file beside it
// that is renamed over the target; returns the problem (nothing is written
// then), or an empty string.
std::string makeTxfFont(const std::string& fontPath, const std::string& outPath, const TxfMakerOptions& options,
                        std::u32string* missing = nullptr);

}  // namespace xmo
