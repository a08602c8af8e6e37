// TXF texture fonts: the file layout, read and written.
//
// A TXF file is a 32-byte header (magic bytes 0xFF "txf", a byte-order mark,
// texture format, texture width and height, maximum ascent and descent,
// glyph count: 32-bit integers in the writer's byte order), a table of
// 12-byte glyph records, then the texture: one byte per texel or one bit per
// texel in rows padded to whole bytes, bottom row first. Each glyph names
// its character, its bitmap's size and place in the texture, its offset
// from the pen position and how far it advances the pen, all in texels.
//
// PLIB's font loader believes whatever a file says, so every caption font is
// read here first and only a file that passes goes on to it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xmo {

enum class TxfTextureFormat : std::int32_t { Bytes = 0, Bitmap = 1 };

// Limits on what a caption font may ask for: the texture's sides (GL
// implementations of our class take 4096) and the whole file.
inline constexpr int kMaxTxfTextureSide = 4096;
inline constexpr std::size_t kMaxTxfFileBytes = 64u << 20;

struct TxfGlyph {
    std::uint16_t code = 0;  // the character
    std::uint8_t width = 0, height = 0;
    std::int8_t xOffset = 0, yOffset = 0;  // bitmap's lower-left corner from the pen
    std::int8_t advance = 0;
    std::int16_t x = 0, y = 0;  // bitmap's lower-left corner in the texture
};

struct TxfFont {
    TxfTextureFormat format = TxfTextureFormat::Bytes;
    int textureWidth = 0, textureHeight = 0;
    int maxAscent = 0, maxDescent = 0;
    std::vector<TxfGlyph> glyphs;
    std::vector<std::uint8_t> texels;  // as stored in the file
};

// The number of texture bytes a font of this format and size stores.
std::uint64_t txfTextureBytes(TxfTextureFormat format, int width, int height);

// Reads a whole TXF file from memory. A file that breaks the layout or the
// limits above has no font and a problem saying what is wrong. Bytes after
// the texture are ignored.
struct TxfReadResult {
    std::optional<TxfFont> font;
    std::string problem;
};
TxfReadResult readTxf(const std::uint8_t* data, std::size_t size);

// The problem with the TXF file at path (including that it does not open),
// or an empty string when PLIB may load it.
std::string checkTxfFile(const std::string& path);

// The file bytes of a font, little-endian. The font must be consistent
// (texels of the size its format and texture size give).
std::vector<std::uint8_t> encodeTxf(const TxfFont& font);

}  // namespace xmo
