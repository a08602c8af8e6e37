#include "app/timeline.h"

#include "movie/movie.h"

namespace xmo {

SequenceAt findSequence(const std::vector<std::unique_ptr<Sequence>>& sequences, float t) {
    float start = 0.0f;
    for (const auto& s : sequences) {
        if (start <= t && t <= start + s->duration) return {s.get(), t - start};
        start += s->duration;
    }
    if (sequences.empty()) return {};
    return {sequences.back().get(), t - start};
}

float filmEnd(const std::vector<std::unique_ptr<Sequence>>& sequences) {
    float end = 0.0f;
    for (const auto& s : sequences) end += s->duration;
    return end;
}

}  // namespace xmo
