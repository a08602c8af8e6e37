#include "effects/caption_pass.h"

namespace xmo {

namespace {

// The file's markers of values a text does not give.
bool hasColour(const Text& text) { return text.color[0] != -1.0f; }
bool hasPosition(const Text& text) { return text.position[0] != -1000.0f; }
bool hasSize(const Text& text) { return text.size != 0.0f; }

void walkChunk(const TextChunk& chunk, CaptionTarget& target) {
    bool fontBegun = false;
    target.beginChunk();
    for (const auto& text : chunk.texts) {
        if (!text->loadfont.empty()) {
            target.setFont(text->font.get());
            fontBegun = true;
            if (target.hasFont()) target.beginFont();
        }
        if (hasColour(*text)) target.setColour(text->color);
        if (hasPosition(*text)) target.startAt(text->position);
        if (hasSize(*text)) target.setPointSize(text->size);
        if (!text->writetext.empty() && target.hasFont()) target.print(text->writetext);
    }
    if (fontBegun && target.hasFont()) target.endFont();
    target.endChunk();
}

}  // namespace

bool isTextChunkActive(const TextChunk& chunk, float t) { return chunk.starttime < t && t < chunk.endtime; }

void walkTextChunks(const std::vector<std::unique_ptr<TextChunk>>& chunks, float t, CaptionTarget& target) {
    for (const auto& chunk : chunks)
        if (isTextChunkActive(*chunk, t)) walkChunk(*chunk, target);
}

}  // namespace xmo
