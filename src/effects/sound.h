// Music of the movie: mpg123 decodes each MPEG audio file completely into
// memory before the film's clock starts, OpenAL Soft mixes and plays it,
// each sound started once on film time (sound_schedule.h).
//
// The SoundSystem, owned by the player, holds the output device, its
// context, one buffer per sound and the sources started so far; a Sound's
// sample only names its buffer. With no output device at all the film plays
// silently and nothing is reported. Decoding is separate from the device, so
// it is tested and fuzzed without one. Nothing here prints or exits: the
// caller prints "Error!" and soundErrorText() and picks the exit code.
#pragma once

#include <AL/alc.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "effects/sound_schedule.h"
#include "movie/movie.h"

namespace xmo {

// Interleaved signed 16-bit samples at their own rate, one or two channels.
struct DecodedAudio {
    long rate = 0;
    int channels = 0;
    std::vector<std::int16_t> samples;
};

struct DecodeResult {
    std::optional<SoundError> error;  // set when nothing usable came out
    DecodedAudio audio;
};

// Decodes a whole MPEG audio stream held in memory, at the stream's own
// rate, or resampled to `rate` when that is not 0. Bytes that are not MPEG
// audio, or hold no frame that decodes, are UnknownFormat; a stream that
// breaks off with an error after some audio, or changes its rate or channel
// count, is LoadFailed; audio too long to hold is OutOfMemory.
DecodeResult decodeMpegAudio(const std::uint8_t* data, std::size_t size, long rate = 0);

// The same for a file; a file that does not open is FileNotFound.
DecodeResult decodeMpegAudioFile(const std::string& path, long rate = 0);

class SoundSystem {
public:
    SoundSystem() = default;
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;
    ~SoundSystem();

    // Set before startSound: no device is opened and nothing is loaded, as
    // when there is no device (rendering a film to pictures).
    void keepSilent() { deviceWanted_ = false; }

    // No output device: nothing is loaded or played.
    bool isSilent() const { return device_ == nullptr; }

private:
    friend std::optional<SoundError> startSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>&);
    friend void updateSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>&, float);
    friend void stopSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>&);
    friend void pauseSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>&);
    friend void resumeSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>&);
    friend void seekSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>&, float);
    friend std::optional<SoundError> restartSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>&,
                                                  std::vector<std::unique_ptr<Sound>>&);

    std::optional<SoundError> load(Sound& sound);
    // Starts the sound's music `offset` seconds in (paused while the system
    // is), on a source of its own kept for a later seek.
    void play(Sound& sound, float offset);
    void release();

    bool deviceWanted_ = true;
    bool paused_ = false;
    ALCdevice* device_ = nullptr;
    ALCcontext* context_ = nullptr;
    std::vector<unsigned> buffers_;
    std::map<std::string, unsigned> bufferOfFile_;  // music decoded once per file
    std::vector<unsigned> sources_;
};

// Opens the default output device, then decodes and keeps each sound's music
// in list order. Without a device this succeeds and the film stays silent; a
// device without a mixing context, or the first music that cannot be loaded,
// is the error returned.
std::optional<SoundError> startSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds);

// Starts the sounds due at film time t (see startDueSounds). A sound that
// cannot get a source is marked started all the same.
void updateSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds, float t);

// The film read again: the sounds of its old reading stop and give up their
// sources; the new ones take the music already decoded for their files,
// decoding only files not seen before. The errors of startSound.
std::optional<SoundError> restartSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& oldSounds,
                                       std::vector<std::unique_ptr<Sound>>& newSounds);

// Frees every sound's music and the sources, then closes the device.
void stopSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds);

// The author's keys. Pausing holds every started sound where it is, and a
// sound that updateSound starts while paused begins paused (a fixed-step run
// to a start time plays its frames paused, so nothing is heard on the way);
// resuming plays them on from there. A seek to film time t puts every sound
// due by then (start time before t, as updateSound counts it) at offset
// t - starttime within its music and marks it started; a later one is
// stopped and left for updateSound. Without a device only the marks change.
void pauseSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds);
void resumeSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds);
void seekSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds, float t);

}  // namespace xmo
