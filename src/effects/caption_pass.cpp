#include "effects/caption_pass.h"

#include "effects/latin1_text.h"

namespace xmo {

namespace {

// The file's markers of values a text does not give.
bool hasColour(const Text& text) { return text.color[0] != -1.0f; }
bool hasPosition(const Text& text) { return text.position[0] != -1000.0f; }
bool hasSize(const Text& text) { return text.size != 0.0f; }

unsigned otherCase(unsigned c) {
    if (c >= 'A' && c <= 'Z') return c - 'A' + 'a';
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    return c;
}

void walkChunk(const TextChunk& chunk, CaptionPen& pen, std::string& latin1, CaptionTarget* target) {
    if (target) target->beginChunk();
    for (const auto& text : chunk.texts) {
        if (!text->loadfont.empty()) pen.font = text->font && text->font->loaded ? text->font.get() : nullptr;
        if (hasColour(*text) && target) target->setColour(text->color);
        if (hasPosition(*text)) pen.position = text->position;
        if (hasSize(*text)) pen.pointSize = text->size;
        if (text->writetext.empty() || !pen.font) continue;
        convertUtf8ToLatin1(text->writetext, latin1);
        if (target) target->print(*pen.font, pen.pointSize, pen.position, latin1);
        pen.position = advancePen(*pen.font, pen.pointSize, pen.position, latin1);
    }
    if (target) target->endChunk();
}

}  // namespace

bool isTextChunkActive(const TextChunk& chunk, float t) { return chunk.starttime < t && t < chunk.endtime; }

Vec2f advancePen(const CaptionFont& font, float pointSize, Vec2f pen, const std::string& latin1) {
    const float lineStart = pen[0];
    for (const char ch : latin1) {
        if (ch == '\0') break;
        if (ch == '\n') {
            pen[0] = lineStart;
            pen[1] -= pointSize;
            continue;
        }
        unsigned c = static_cast<unsigned char>(ch);
        if (!font.hasGlyph[c]) {
            c = otherCase(c);
            if (c == ' ') {
                pen[0] += pointSize / 2.0f;
                continue;
            }
            if (!font.hasGlyph[c]) continue;
        }
        pen[0] += font.advance[c] * pointSize;
    }
    return pen;
}

void walkTextChunks(const std::vector<std::unique_ptr<TextChunk>>& chunks, float t, CaptionPen& pen,
                    std::string& latin1, CaptionTarget* target) {
    for (const auto& chunk : chunks)
        if (isTextChunkActive(*chunk, t)) walkChunk(*chunk, pen, latin1, target);
}

}  // namespace xmo
