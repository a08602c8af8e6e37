#include "effects/txf_format.h"

#include <cstdio>
#include <cstring>

#include "base/regular_file.h"

namespace xmo {

namespace {

constexpr std::uint8_t kMagic[4] = {0xFF, 't', 'x', 'f'};
constexpr std::uint32_t kByteOrderMark = 0x12345678;
constexpr std::size_t kHeaderBytes = 32;
constexpr std::size_t kGlyphBytes = 12;

// Reads the file's integers in the byte order its mark gives.
class Reader {
public:
    Reader(const std::uint8_t* data, bool bigEndian) : data_(data), bigEndian_(bigEndian) {}
    std::uint32_t u32(std::size_t at) const {
        const std::uint8_t* p = data_ + at;
        return bigEndian_ ? (std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3])
                          : (std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0]);
    }
    std::int32_t i32(std::size_t at) const { return static_cast<std::int32_t>(u32(at)); }
    std::uint16_t u16(std::size_t at) const {
        const std::uint8_t* p = data_ + at;
        return static_cast<std::uint16_t>(bigEndian_ ? (p[0] << 8 | p[1]) : (p[1] << 8 | p[0]));
    }

private:
    const std::uint8_t* data_;
    bool bigEndian_;
};

TxfGlyph readGlyph(const Reader& in, const std::uint8_t* data, std::size_t at) {
    TxfGlyph g;
    g.code = in.u16(at);
    g.width = data[at + 2];
    g.height = data[at + 3];
    g.xOffset = static_cast<std::int8_t>(data[at + 4]);
    g.yOffset = static_cast<std::int8_t>(data[at + 5]);
    g.advance = static_cast<std::int8_t>(data[at + 6]);
    g.x = static_cast<std::int16_t>(in.u16(at + 8));
    g.y = static_cast<std::int16_t>(in.u16(at + 10));
    return g;
}

TxfReadResult refuse(std::string problem) { return {std::nullopt, std::move(problem)}; }

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}
void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

}  // namespace

std::uint64_t txfTextureBytes(TxfTextureFormat format, int width, int height) {
    const std::uint64_t w = width > 0 ? static_cast<std::uint64_t>(width) : 0;
    const std::uint64_t h = height > 0 ? static_cast<std::uint64_t>(height) : 0;
    return format == TxfTextureFormat::Bitmap ? (w + 7) / 8 * h : w * h;
}

TxfReadResult readTxf(const std::uint8_t* data, std::size_t size) {
    if (!data || size < kHeaderBytes) return refuse("too short for a TXF font header (32 bytes)");
    if (std::memcmp(data, kMagic, sizeof kMagic) != 0)
        return refuse("not a TXF font (it does not start with 0xFF \"txf\")");
    const bool bigEndian = Reader(data, true).u32(4) == kByteOrderMark;
    if (!bigEndian && Reader(data, false).u32(4) != kByteOrderMark) return refuse("the TXF byte-order mark is damaged");
    const Reader in(data, bigEndian);

    TxfFont font;
    const std::int32_t format = in.i32(8);
    if (format != static_cast<std::int32_t>(TxfTextureFormat::Bytes) &&
        format != static_cast<std::int32_t>(TxfTextureFormat::Bitmap))
        return refuse("unknown TXF texture format " + std::to_string(format) + " (expected 0 or 1)");
    font.format = static_cast<TxfTextureFormat>(format);
    font.textureWidth = in.i32(12);
    font.textureHeight = in.i32(16);
    if (font.textureWidth < 1 || font.textureWidth > kMaxTxfTextureSide || font.textureHeight < 1 ||
        font.textureHeight > kMaxTxfTextureSide)
        return refuse("TXF texture size " + std::to_string(font.textureWidth) + " x " +
                      std::to_string(font.textureHeight) + " is outside 1 to " + std::to_string(kMaxTxfTextureSide));
    font.maxAscent = in.i32(20);
    font.maxDescent = in.i32(24);
    // The loader scales every glyph by the ascent.
    if (font.maxAscent < 1 || font.maxDescent < 0)
        return refuse("TXF ascent " + std::to_string(font.maxAscent) + " and descent " +
                      std::to_string(font.maxDescent) + " (expected an ascent of at least 1, no negative descent)");
    const std::int32_t glyphCount = in.i32(28);
    if (glyphCount < 0) return refuse("negative TXF glyph count " + std::to_string(glyphCount));
    const std::uint64_t tableEnd = kHeaderBytes + std::uint64_t(glyphCount) * kGlyphBytes;
    if (tableEnd > size)
        return refuse("the TXF glyph table of " + std::to_string(glyphCount) + " glyphs runs past the end of the file");

    font.glyphs.reserve(static_cast<std::size_t>(glyphCount));
    for (std::int32_t i = 0; i < glyphCount; ++i) {
        const TxfGlyph g = readGlyph(in, data, kHeaderBytes + std::size_t(i) * kGlyphBytes);
        if (g.x < 0 || g.y < 0 || g.x + g.width > font.textureWidth || g.y + g.height > font.textureHeight)
            return refuse("TXF glyph " + std::to_string(i) + " (character " + std::to_string(g.code) +
                          ") lies outside the texture");
        font.glyphs.push_back(g);
    }

    const std::uint64_t textureBytes = txfTextureBytes(font.format, font.textureWidth, font.textureHeight);
    if (size - tableEnd < textureBytes)
        return refuse("the TXF texture needs " + std::to_string(textureBytes) + " bytes but the file holds " +
                      std::to_string(size - tableEnd));
    font.texels.assign(data + tableEnd, data + tableEnd + textureBytes);
    return {std::move(font), {}};
}

std::string checkTxfFile(const std::string& path) {
    const RegularFile file(path);
    if (!file) return "cannot open the font file: " + file.problem();
    std::vector<std::uint8_t> bytes;
    std::uint8_t block[65536];
    std::size_t n = 0;
    bool tooLarge = false;
    while ((n = std::fread(block, 1, sizeof block, file.stream())) > 0) {
        if (bytes.size() + n > kMaxTxfFileBytes) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), block, block + n);
    }
    const bool failed = std::ferror(file.stream()) != 0;
    if (failed) return "cannot read the font file";
    if (tooLarge) return "larger than a TXF font may be (" + std::to_string(kMaxTxfFileBytes >> 20) + " MiB)";
    return readTxf(bytes.data(), bytes.size()).problem;
}

std::vector<std::uint8_t> encodeTxf(const TxfFont& font) {
    std::vector<std::uint8_t> out(std::begin(kMagic), std::end(kMagic));
    out.reserve(kHeaderBytes + font.glyphs.size() * kGlyphBytes + font.texels.size());
    put32(out, kByteOrderMark);
    put32(out, static_cast<std::uint32_t>(font.format));
    put32(out, static_cast<std::uint32_t>(font.textureWidth));
    put32(out, static_cast<std::uint32_t>(font.textureHeight));
    put32(out, static_cast<std::uint32_t>(font.maxAscent));
    put32(out, static_cast<std::uint32_t>(font.maxDescent));
    put32(out, static_cast<std::uint32_t>(font.glyphs.size()));
    for (const TxfGlyph& g : font.glyphs) {
        put16(out, g.code);
        out.push_back(g.width);
        out.push_back(g.height);
        out.push_back(static_cast<std::uint8_t>(g.xOffset));
        out.push_back(static_cast<std::uint8_t>(g.yOffset));
        out.push_back(static_cast<std::uint8_t>(g.advance));
        out.push_back(0);
        put16(out, static_cast<std::uint16_t>(g.x));
        put16(out, static_cast<std::uint16_t>(g.y));
    }
    out.insert(out.end(), font.texels.begin(), font.texels.end());
    return out;
}

}  // namespace xmo
