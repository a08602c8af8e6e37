// Text captions of a sequence, printed through one caption renderer whose
// font, position and point size carry over from one text to the next, across
// chunks and frames.
//
// Not built yet: captions are read with the movie but not drawn.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct TextChunk;

// The renderer all captions share, owned by the player.
struct CaptionRenderer {};

inline void drawTextChunks(CaptionRenderer&, const std::vector<std::unique_ptr<TextChunk>>& /*chunks*/,
                           float /*t*/) {}

}  // namespace xmo
