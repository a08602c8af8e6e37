#include "app/sound_track.h"

#include <algorithm>
#include <cmath>

#include "app/render_options.h"
#include "effects/sound_schedule.h"

namespace xmo {

namespace {

constexpr float kFullScale = 32768.0f;

}  // namespace

std::optional<long> soundStartFrame(const Sound& sound, int fps) {
    // Film time grows with the frame, so the frames at which the sound is due
    // are all those from the one sought on.
    const auto due = [&](long frame) { return isSoundDue(sound, frameFilmTime(frame, fps)); };
    long low = 0, high = kMaxRenderFrame;
    if (!due(high)) return std::nullopt;
    while (low < high) {
        const long middle = low + (high - low) / 2;
        if (due(middle)) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return low;
}

long long frameSample(long frame, int fps) { return static_cast<long long>(frame) * kSoundTrackRate / fps; }

void mixSoundTrack(const std::vector<SoundClip>& clips, long long first, std::size_t count, std::int16_t* out) {
    std::vector<float> mix(2 * count, 0.0f);
    const long long end = first + static_cast<long long>(count);
    for (const SoundClip& clip : clips) {
        const long long from = std::max(first, clip.start);
        const long long to = std::min(end, clip.start + static_cast<long long>(clip.frames));
        for (long long i = from; i < to; ++i) {
            const std::int16_t* sample = clip.samples + (i - clip.start) * clip.channels;
            float* target = &mix[2 * static_cast<std::size_t>(i - first)];
            target[0] += sample[0] / kFullScale;
            target[1] += sample[clip.channels - 1] / kFullScale;
        }
    }
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const float value = std::nearbyint(mix[i] * kFullScale);
        out[i] = static_cast<std::int16_t>(std::clamp(value, -kFullScale, kFullScale - 1.0f));
    }
}

}  // namespace xmo
