// The film's music as one stereo sound track, for a video of the film.
//
// Each Sound starts, as in the player, in the first frame whose film time is
// strictly past its starttime; on the fixed-step clock of a render run that
// frame, and so the sample where the sound begins, is known before anything
// is rendered. The sounds are mixed in floating point and clipped to 16 bits.
// Decoding and writing are the caller's: here are plain functions over
// samples.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace xmo {

struct Sound;

// Sample frames per second of the track (the player's mixing rate).
inline constexpr long kSoundTrackRate = 44100;

// The frame of a render run at fps frames per second in which the player's
// rule starts the sound; none when it never starts within the frames a run
// can render (a start time that is not a number, or far beyond).
std::optional<long> soundStartFrame(const Sound& sound, int fps);

// The sample frame, counted from the film's start, at which frame n is
// shown: n * kSoundTrackRate / fps, rounded down.
long long frameSample(long frame, int fps);

// Decoded music placed on the track.
struct SoundClip {
    const std::int16_t* samples = nullptr;  // interleaved
    std::size_t frames = 0;                 // sample frames
    int channels = 1;                       // 1 (played on both sides) or 2
    long long start = 0;  // the track's sample frame where it begins; negative: begun before the track
};

// Mixes the track's sample frames [first, first + count) into out as
// interleaved stereo (2 * count values). Any window gives the same samples
// as the same part of a longer one, so a long track is written block by block.
void mixSoundTrack(const std::vector<SoundClip>& clips, long long first, std::size_t count, std::int16_t* out);

}  // namespace xmo
