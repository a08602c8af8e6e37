#include "app/seek_targets.h"

#include <algorithm>
#include <cmath>

#include "app/render_options.h"
#include "app/timeline.h"
#include "movie/movie.h"

namespace xmo {

namespace {

constexpr double kKeySeekSeconds = 1.0;
constexpr double kFarSeekSeconds = 5.0;
// Page Up within this much of a sequence's start goes on to the one before.
constexpr double kSequenceStartGrace = 0.5;

}  // namespace

long frameNearest(double seconds, int fps) { return std::max(0L, std::lround(seconds * fps)); }

long firstFrameOfSequence(const std::vector<std::unique_ptr<Sequence>>& sequences, std::size_t index, int fps) {
    // Summed as the timeline sums.
    float start = 0.0f;
    for (std::size_t i = 0; i < index && i < sequences.size(); ++i) start += sequences[i]->duration;
    if (index >= sequences.size()) return std::max(0L, static_cast<long>(std::floor(static_cast<double>(start) * fps)));
    const long first = std::max(0L, static_cast<long>(std::floor(static_cast<double>(start) * fps)));
    for (long n = first; n <= first + 2; ++n)
        if (findSequence(sequences, frameFilmTime(n, fps)).sequence == sequences[index].get()) return n;
    // Too short for any frame to land in: its start time as it is.
    return static_cast<long>(std::ceil(static_cast<double>(start) * fps));
}

long lastFrameOfFilm(const std::vector<std::unique_ptr<Sequence>>& sequences, int fps) {
    return std::max(0L, static_cast<long>(std::floor(static_cast<double>(filmEnd(sequences)) * fps)));
}

long findSeekTarget(SeekKey key, long current, bool paused,
                    const std::vector<std::unique_ptr<Sequence>>& sequences, int fps) {
    const long last = lastFrameOfFilm(sequences, fps);
    const auto clamp = [last](long frame) { return std::clamp(frame, 0L, last); };
    const auto seconds = [fps](double s) { return std::lround(s * fps); };
    switch (key) {
    case SeekKey::Back: return clamp(current - (paused ? 1 : seconds(kKeySeekSeconds)));
    case SeekKey::Forward: return clamp(current + (paused ? 1 : seconds(kKeySeekSeconds)));
    case SeekKey::BackFar: return clamp(current - seconds(kFarSeekSeconds));
    case SeekKey::ForwardFar: return clamp(current + seconds(kFarSeekSeconds));
    case SeekKey::Start: return 0;
    case SeekKey::End: return last;
    case SeekKey::PreviousSequence: {
        long target = 0;
        for (std::size_t i = 0; i < sequences.size(); ++i) {
            const long start = firstFrameOfSequence(sequences, i, fps);
            if (start < current - seconds(kSequenceStartGrace)) target = start;
        }
        return clamp(target);
    }
    case SeekKey::NextSequence:
        for (std::size_t i = 0; i < sequences.size(); ++i) {
            const long start = firstFrameOfSequence(sequences, i, fps);
            if (start > current) return clamp(start);
        }
        return last;
    }
    return clamp(current);
}

long frameAtFraction(double x, const std::vector<std::unique_ptr<Sequence>>& sequences, int fps) {
    const long last = lastFrameOfFilm(sequences, fps);
    return std::clamp(std::lround(std::clamp(x, 0.0, 1.0) * static_cast<double>(last)), 0L, last);
}

}  // namespace xmo
