#include "effects/txf_maker.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "base/atomic_file.h"
#include "effects/latin1_text.h"

namespace xmo {

namespace {

// Blank texels around each glyph inside its box, and between boxes.
constexpr int kBorder = 1;
constexpr int kGap = 2;
constexpr int kMinTextureSide = 64;
// PLIB's font adds this gap, in capital heights, after every glyph's advance;
// the advances written leave it out so the printed spacing is the face's own.
constexpr float kLoaderGap = 0.1f;

struct Library {
    FT_Library handle = nullptr;
    ~Library() {
        if (handle) FT_Done_FreeType(handle);
    }
};

struct Face {
    FT_Face handle = nullptr;
    ~Face() {
        if (handle) FT_Done_Face(handle);
    }
};

// One glyph as FreeType drew it: coverage rows top first, and its metrics.
struct Rendered {
    char32_t code = 0;
    int width = 0, height = 0;
    int left = 0, bottom = 0;  // the bitmap's lower-left corner from the pen
    int advance = 0;
    std::vector<std::uint8_t> coverage;
};

bool fitsInt8(int v) { return v >= -128 && v <= 127; }

// Copies FreeType's bitmap (grey levels or one bit per pixel, rows in either
// direction) into coverage bytes, top row first.
bool copyCoverage(const FT_Bitmap& bitmap, Rendered& glyph) {
    const bool mono = bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
    if (!mono && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return false;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.coverage.assign(static_cast<std::size_t>(glyph.width) * glyph.height, 0);
    const int pitch = bitmap.pitch < 0 ? -bitmap.pitch : bitmap.pitch;
    for (int row = 0; row < glyph.height; ++row) {
        const int stored = bitmap.pitch < 0 ? glyph.height - 1 - row : row;
        const std::uint8_t* src = bitmap.buffer + static_cast<std::ptrdiff_t>(stored) * pitch;
        std::uint8_t* dst = glyph.coverage.data() + static_cast<std::size_t>(row) * glyph.width;
        for (int x = 0; x < glyph.width; ++x)
            dst[x] = mono ? ((src[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0) : src[x];
    }
    return true;
}

std::string renderGlyph(FT_Face face, char32_t code, int capital, Rendered& glyph) {
    if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) return "FreeType cannot render " + describeCharacter(code);
    const FT_GlyphSlot slot = face->glyph;
    glyph.code = code;
    if (!copyCoverage(slot->bitmap, glyph)) return "FreeType renders " + describeCharacter(code) + " in an unusable pixel mode";
    glyph.left = slot->bitmap_left;
    glyph.bottom = slot->bitmap_top - glyph.height;
    glyph.advance = static_cast<int>(std::lround(slot->advance.x / 64.0 - kLoaderGap * capital));
    const int boxWidth = glyph.width + 2 * kBorder, boxHeight = glyph.height + 2 * kBorder;
    if (boxWidth > 255 || boxHeight > 255 || !fitsInt8(glyph.left - kBorder) || !fitsInt8(glyph.bottom - kBorder) ||
        !fitsInt8(glyph.advance))
        return describeCharacter(code) + " is too large for a TXF font at this size; choose a smaller pixel size";
    return {};
}

// Shelf packing of the glyphs' boxes, tallest first, into a texture `width`
// wide. Returns the height used, or nothing when a box is wider than the
// texture.
std::optional<int> packShelves(const std::vector<Rendered>& glyphs, int width, std::vector<TxfGlyph>& placed) {
    std::vector<std::size_t> order(glyphs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return glyphs[a].height > glyphs[b].height; });
    int x = kGap, y = kGap, shelfHeight = 0;
    for (std::size_t i : order) {
        const int boxWidth = glyphs[i].width + 2 * kBorder, boxHeight = glyphs[i].height + 2 * kBorder;
        if (kGap + boxWidth + kGap > width) return std::nullopt;
        if (x + boxWidth + kGap > width) {
            x = kGap;
            y += shelfHeight + kGap;
            shelfHeight = 0;
        }
        placed[i].x = static_cast<std::int16_t>(x);
        placed[i].y = static_cast<std::int16_t>(y);
        x += boxWidth + kGap;
        shelfHeight = std::max(shelfHeight, boxHeight);
    }
    return y + shelfHeight + kGap;
}

int nextPowerOfTwo(int v) {
    int p = 1;
    while (p < v) p *= 2;
    return p;
}

// Lays the glyphs out in the smallest square-or-wide power-of-two texture.
std::string buildTexture(const std::vector<Rendered>& glyphs, TxfFont& font) {
    std::vector<TxfGlyph> placed(glyphs.size());
    for (int width = kMinTextureSide; width <= kMaxTxfTextureSide; width *= 2) {
        const auto used = packShelves(glyphs, width, placed);
        if (!used || *used > width) continue;
        font.textureWidth = width;
        font.textureHeight = nextPowerOfTwo(*used);
        font.texels.assign(static_cast<std::size_t>(font.textureWidth) * font.textureHeight, 0);
        for (std::size_t i = 0; i < glyphs.size(); ++i) {
            const Rendered& g = glyphs[i];
            TxfGlyph& out = placed[i];
            out.code = static_cast<std::uint16_t>(g.code);
            out.width = static_cast<std::uint8_t>(g.width + 2 * kBorder);
            out.height = static_cast<std::uint8_t>(g.height + 2 * kBorder);
            out.xOffset = static_cast<std::int8_t>(g.left - kBorder);
            out.yOffset = static_cast<std::int8_t>(g.bottom - kBorder);
            out.advance = static_cast<std::int8_t>(g.advance);
            // Texture rows run bottom up: the glyph's top row goes highest.
            for (int row = 0; row < g.height; ++row) {
                const int textureRow = out.y + kBorder + (g.height - 1 - row);
                std::copy_n(
                    g.coverage.data() + static_cast<std::size_t>(row) * g.width, g.width,
                    font.texels.data() + static_cast<std::size_t>(textureRow) * font.textureWidth + out.x + kBorder);
            }
        }
        font.glyphs = std::move(placed);
        return {};
    }
    return "the glyphs do not fit a " + std::to_string(kMaxTxfTextureSide) +
           " texel texture; choose a smaller pixel size";
}

// The chosen characters, sorted and without repeats.
std::string chosenCharacters(const std::string& text, std::u32string& codes) {
    const auto decoded = decodeUtf8(text);
    if (!decoded) return "the characters are not valid UTF-8";
    codes = *decoded;
    std::sort(codes.begin(), codes.end());
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    for (char32_t c : codes)
        if (c > 0xFF) return describeCharacter(c) + " is not a Latin-1 character; caption fonts hold Latin-1 characters only";
    if (codes.empty()) return "no characters chosen";
    return {};
}

int capitalHeight(FT_Face face) {
    if (FT_Get_Char_Index(face, 'H') != 0 && FT_Load_Char(face, 'H', FT_LOAD_DEFAULT) == 0) {
        const int height = static_cast<int>((face->glyph->metrics.horiBearingY + 32) >> 6);
        if (height > 0) return height;
    }
    return std::max(1, static_cast<int>((face->size->metrics.ascender + 32) >> 6));
}

}  // namespace

std::string describeCharacter(char32_t code) {
    if (code >= 0x20 && code < 0x7F) return std::string("'") + static_cast<char>(code) + "'";
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
    return text;
}

std::string defaultTxfCharacters() {
    std::u32string codes;
    for (char32_t c = 0x20; c < 0x7F; ++c) codes.push_back(c);
    // À to ÿ, without the two signs among them (× and ÷).
    for (char32_t c = 0xC0; c <= 0xFF; ++c)
        if (c != 0xD7 && c != 0xF7) codes.push_back(c);
    std::string utf8;
    for (char32_t c : codes) {
        if (c < 0x80) {
            utf8.push_back(static_cast<char>(c));
        } else {
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return utf8;
}

TxfMakeResult renderTxfFont(const std::string& fontPath, const TxfMakerOptions& options) {
    TxfMakeResult result;
    if (options.pixelSize < kMinTxfPixelSize || options.pixelSize > kMaxTxfPixelSize) {
        result.problem = "pixel size " + std::to_string(options.pixelSize) + " is outside " +
                         std::to_string(kMinTxfPixelSize) + " to " + std::to_string(kMaxTxfPixelSize);
        return result;
    }
    std::u32string codes;
    result.problem = chosenCharacters(options.characters, codes);
    if (!result.problem.empty()) return result;

    Library library;
    Face face;
    if (FT_Init_FreeType(&library.handle) != 0) {
        result.problem = "FreeType cannot start";
        return result;
    }
    if (FT_New_Face(library.handle, fontPath.c_str(), 0, &face.handle) != 0) {
        result.problem = "cannot read " + fontPath + " as a font";
        return result;
    }
    if (FT_Select_Charmap(face.handle, FT_ENCODING_UNICODE) != 0) {
        result.problem = fontPath + " has no Unicode character map";
        return result;
    }
    if (FT_Set_Pixel_Sizes(face.handle, 0, static_cast<FT_UInt>(options.pixelSize)) != 0) {
        result.problem = fontPath + " cannot be drawn at " + std::to_string(options.pixelSize) + " pixels";
        return result;
    }

    const int capital = capitalHeight(face.handle);
    std::vector<Rendered> glyphs;
    for (char32_t code : codes) {
        if (FT_Get_Char_Index(face.handle, code) == 0) {
            result.missing.push_back(code);
            continue;
        }
        Rendered glyph;
        result.problem = renderGlyph(face.handle, code, capital, glyph);
        if (!result.problem.empty()) return result;
        glyphs.push_back(std::move(glyph));
    }
    if (glyphs.empty()) {
        result.problem = fontPath + " has none of the chosen characters";
        return result;
    }

    TxfFont font;
    font.format = TxfTextureFormat::Bytes;
    font.maxAscent = capital;
    font.maxDescent = std::max(0, static_cast<int>((-face.handle->size->metrics.descender + 32) >> 6));
    result.problem = buildTexture(glyphs, font);
    if (result.problem.empty()) result.font = std::move(font);
    return result;
}

std::string makeTxfFont(const std::string& fontPath, const std::string& outPath, const TxfMakerOptions& options,
                        std::u32string* missing) {
    const TxfMakeResult made = renderTxfFont(fontPath, options);
    if (missing) *missing = made.missing;
    if (!made.font) return made.problem;
    const std::vector<std::uint8_t> bytes = encodeTxf(*made.font);
    std::string error;
    writeFileAtomically(
        outPath, [&](std::FILE* file) { return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size(); },
        error);
    return error;
}

}  // namespace xmo
