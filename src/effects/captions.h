// Text captions of a sequence.
//
// Not built yet: captions are read with the movie but not drawn.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct TextChunk;

void drawTextChunks(const std::vector<std::unique_ptr<TextChunk>>& chunks, float t);

}  // namespace xmo
