// Fuzzes the TXF reader that stands before PLIB's font loader: whatever it
// accepts must be a font whose glyphs and texture lie within what it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "effects/txf_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const xmo::TxfReadResult read = xmo::readTxf(data, size);
    if (!read.font) return 0;
    const xmo::TxfFont& font = *read.font;
    if (font.texels.size() != xmo::txfTextureBytes(font.format, font.textureWidth, font.textureHeight)) std::abort();
    if (32 + font.glyphs.size() * 12 + font.texels.size() > size) std::abort();
    for (const xmo::TxfGlyph& g : font.glyphs)
        if (g.x < 0 || g.y < 0 || g.x + g.width > font.textureWidth || g.y + g.height > font.textureHeight)
            std::abort();
    return 0;
}
