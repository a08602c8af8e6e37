#include <AL/al.h>
#include <AL/alc.h>
#include <mpg123.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <new>

#include "base/regular_file.h"
#include "effects/sound.h"

namespace xmo {

namespace {

// ---- Decoding ---------------------------------------------------------------

// mpg123 reads the stream through these, from memory, so the file is read
// once and the decoder can be fuzzed on bytes alone.
struct MemoryStream {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position;
};

mpg123_ssize_t readStream(void* handle, void* buffer, size_t count) {
    auto* stream = static_cast<MemoryStream*>(handle);
    const std::size_t n = std::min(count, stream->size - stream->position);
    std::copy_n(stream->data + stream->position, n, static_cast<std::uint8_t*>(buffer));
    stream->position += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t seekStream(void* handle, off_t offset, int whence) {
    auto* stream = static_cast<MemoryStream*>(handle);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    const off_t base = whence == SEEK_CUR   ? static_cast<off_t>(stream->position)
                       : whence == SEEK_END ? static_cast<off_t>(stream->size)
                                            : 0;
    if (offset < -base || offset > static_cast<off_t>(stream->size) - base) return -1;
    stream->position = static_cast<std::size_t>(base + offset);
    return static_cast<off_t>(stream->position);
}

// OpenAL takes a buffer's size as an int.
constexpr std::size_t kMaxDecodedBytes = INT_MAX;
// mpg123_read may report progress without output for a while (skipping junk,
// a header without audio); this many rounds in a row without either is a stall.
constexpr int kMaxIdleReads = 4096;

class Decoder {
public:
    Decoder() {
        mpg123_init();
        handle_ = mpg123_new(nullptr, nullptr);
    }
    ~Decoder() {
        if (handle_) mpg123_delete(handle_);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    DecodeResult decode(MemoryStream& stream, long rate) {
        DecodeResult result;
        if (!handle_ || !configure(rate) ||
            mpg123_replace_reader_handle(handle_, readStream, seekStream, nullptr) != MPG123_OK ||
            mpg123_open_handle(handle_, &stream) != MPG123_OK) {
            result.error = SoundError::UnknownFormat;
            return result;
        }
        result.error = readAll(result.audio);
        mpg123_close(handle_);
        if (!result.error && result.audio.samples.empty()) result.error = SoundError::UnknownFormat;
        if (result.error) result.audio = {};
        return result;
    }

private:
    // Signed 16-bit output, mono or stereo, at whatever rate the stream has
    // or at the rate asked for; no messages of mpg123's own on standard error.
    bool configure(long rate) {
        if (mpg123_param(handle_, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0) != MPG123_OK) return false;
        if (rate > 0 && mpg123_param(handle_, MPG123_FORCE_RATE, rate, 0.0) != MPG123_OK) return false;
        if (mpg123_format_none(handle_) != MPG123_OK) return false;
        const long* rates = nullptr;
        size_t count = 0;
        mpg123_rates(&rates, &count);
        for (size_t i = 0; i < count; ++i)
            if (mpg123_format(handle_, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK)
                return false;
        return true;
    }

    std::optional<SoundError> readAll(DecodedAudio& audio) {
        std::int16_t chunk[16384];
        int idle = 0;
        for (;;) {
            size_t done = 0;
            const int status = mpg123_read(handle_, reinterpret_cast<unsigned char*>(chunk), sizeof chunk, &done);
            if (done > 0) {
                idle = 0;
                if (const auto error = append(audio, chunk, done / sizeof(std::int16_t))) return error;
            } else if (status == MPG123_OK && ++idle > kMaxIdleReads) {
                return SoundError::LoadFailed;
            }
            if (status == MPG123_NEW_FORMAT) {
                if (!acceptFormat(audio)) return SoundError::LoadFailed;
            } else if (status == MPG123_DONE) {
                return std::nullopt;
            } else if (status == MPG123_OUT_OF_MEM) {
                return SoundError::OutOfMemory;
            } else if (status != MPG123_OK) {
                return audio.samples.empty() ? SoundError::UnknownFormat : SoundError::LoadFailed;
            }
        }
    }

    static std::optional<SoundError> append(DecodedAudio& audio, const std::int16_t* samples, std::size_t count) {
        if ((audio.samples.size() + count) * sizeof(std::int16_t) > kMaxDecodedBytes) return SoundError::OutOfMemory;
        try {
            audio.samples.insert(audio.samples.end(), samples, samples + count);
        } catch (const std::bad_alloc&) {
            return SoundError::OutOfMemory;
        }
        return std::nullopt;
    }

    // The first format is the stream's; one buffer cannot change it part way.
    bool acceptFormat(DecodedAudio& audio) {
        long rate = 0;
        int channels = 0, encoding = 0;
        if (mpg123_getformat(handle_, &rate, &channels, &encoding) != MPG123_OK) return false;
        if (channels != 1 && channels != 2) return false;
        if (audio.channels == 0) {
            audio.rate = rate;
            audio.channels = channels;
            return true;
        }
        return rate == audio.rate && channels == audio.channels;
    }

    mpg123_handle* handle_ = nullptr;
};

// ---- Output -----------------------------------------------------------------

// A Sound's music: the OpenAL buffer that the SoundSystem owns, and the
// source that plays it once the sound has started.
class OpenAlSample : public SoundSample {
public:
    explicit OpenAlSample(ALuint buffer) : buffer(buffer) {}
    const ALuint buffer;
    ALuint source = 0;
};

// Holds every started source where it is (sources that have played to the
// end stay stopped).
void pauseSources(const std::vector<unsigned>& sources) {
    for (const ALuint source : sources) {
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING) alSourcePause(source);
    }
}

}  // namespace

DecodeResult decodeMpegAudio(const std::uint8_t* data, std::size_t size, long rate) {
    MemoryStream stream{data, data ? size : 0, 0};
    try {
        Decoder decoder;
        return decoder.decode(stream, rate);
    } catch (const std::bad_alloc&) {
        DecodeResult result;
        result.error = SoundError::OutOfMemory;
        return result;
    }
}

DecodeResult decodeMpegAudioFile(const std::string& path, long rate) {
    DecodeResult result;
    const RegularFile file(path);
    if (!file) {
        result.error = SoundError::FileNotFound;
        return result;
    }
    std::vector<std::uint8_t> bytes;
    bool readFailed = false;
    try {
        std::uint8_t block[65536];
        std::size_t n = 0;
        while ((n = std::fread(block, 1, sizeof block, file.stream())) > 0) bytes.insert(bytes.end(), block, block + n);
        readFailed = std::ferror(file.stream()) != 0;
    } catch (const std::bad_alloc&) {
        result.error = SoundError::OutOfMemory;
        return result;
    }
    if (readFailed) {
        result.error = SoundError::LoadFailed;
        return result;
    }
    return decodeMpegAudio(bytes.data(), bytes.size(), rate);
}

SoundSystem::~SoundSystem() { release(); }

std::optional<SoundError> startSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds) {
    if (!system.deviceWanted_) return std::nullopt;
    system.device_ = alcOpenDevice(nullptr);
    if (!system.device_) return std::nullopt;
    system.context_ = alcCreateContext(system.device_, nullptr);
    if (!system.context_ || !alcMakeContextCurrent(system.context_)) return SoundError::OutputDevice;
    // Sources are made as sounds start; room for all of them now keeps the
    // frame that starts one from allocating.
    system.sources_.reserve(sounds.size());
    system.buffers_.reserve(sounds.size());
    for (auto& sound : sounds)
        if (const auto error = system.load(*sound)) return error;
    return std::nullopt;
}

std::optional<SoundError> SoundSystem::load(Sound& sound) {
    if (const auto known = bufferOfFile_.find(sound.filename); known != bufferOfFile_.end()) {
        sound.sample = std::make_unique<OpenAlSample>(known->second);
        return std::nullopt;
    }
    const DecodeResult decoded = decodeMpegAudioFile(sound.filename);
    if (decoded.error) return decoded.error;
    const DecodedAudio& audio = decoded.audio;
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return SoundError::OutOfMemory;
    buffers_.push_back(buffer);
    alBufferData(buffer, audio.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, audio.samples.data(),
                 static_cast<ALsizei>(audio.samples.size() * sizeof(std::int16_t)), static_cast<ALsizei>(audio.rate));
    const ALenum error = alGetError();
    if (error == AL_OUT_OF_MEMORY) return SoundError::OutOfMemory;
    if (error != AL_NO_ERROR) return SoundError::LoadFailed;
    bufferOfFile_.emplace(sound.filename, buffer);
    sound.sample = std::make_unique<OpenAlSample>(buffer);
    return std::nullopt;
}

void updateSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds, float t) {
    if (system.isSilent()) return;
    startDueSounds(sounds, t, [&system](Sound& sound) { system.play(sound, 0.0f); });
}

void SoundSystem::play(Sound& sound, float offset) {
    auto* sample = dynamic_cast<OpenAlSample*>(sound.sample.get());
    if (!sample) return;
    if (!sample->source) {
        alGetError();
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR) return;
        sources_.push_back(source);
        // Music is not placed in the world: it plays at the listener.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcei(source, AL_BUFFER, static_cast<ALint>(sample->buffer));
        sample->source = source;
    }
    alSourceRewind(sample->source);
    if (offset > 0.0f) {
        ALint bytes = 0, bits = 16, channels = 1, rate = 1;
        alGetBufferi(sample->buffer, AL_SIZE, &bytes);
        alGetBufferi(sample->buffer, AL_BITS, &bits);
        alGetBufferi(sample->buffer, AL_CHANNELS, &channels);
        alGetBufferi(sample->buffer, AL_FREQUENCY, &rate);
        const double frames = double(bytes) / (std::max(bits / 8, 1) * std::max(channels, 1));
        if (offset >= frames / std::max(rate, 1)) return;  // already played to its end
        alSourcef(sample->source, AL_SEC_OFFSET, offset);
    }
    alSourcePlay(sample->source);
    if (paused_) alSourcePause(sample->source);
}

void pauseSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& /*sounds*/) {
    system.paused_ = true;
    pauseSources(system.sources_);
}

void resumeSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& /*sounds*/) {
    system.paused_ = false;
    for (const ALuint source : system.sources_) {
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state == AL_PAUSED) alSourcePlay(source);
    }
}

void seekSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds, float t) {
    for (auto& sound : sounds) {
        auto* sample = dynamic_cast<OpenAlSample*>(sound->sample.get());
        const bool due = sound->starttime < t;
        sound->started = due;
        if (system.isSilent() || !sample) continue;
        if (due) {
            system.play(*sound, t - sound->starttime);
        } else if (sample->source) {
            alSourceStop(sample->source);
        }
    }
}

std::optional<SoundError> restartSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& oldSounds,
                                       std::vector<std::unique_ptr<Sound>>& newSounds) {
    for (auto& sound : oldSounds) {
        const auto* sample = dynamic_cast<const OpenAlSample*>(sound->sample.get());
        if (sample && sample->source) {
            alSourceStop(sample->source);
            alDeleteSources(1, &sample->source);
            auto& sources = system.sources_;
            sources.erase(std::remove(sources.begin(), sources.end(), sample->source), sources.end());
        }
        sound->sample.reset();
    }
    if (system.isSilent()) return std::nullopt;
    system.sources_.reserve(newSounds.size());
    for (auto& sound : newSounds)
        if (const auto error = system.load(*sound)) return error;
    return std::nullopt;
}

void stopSound(SoundSystem& system, std::vector<std::unique_ptr<Sound>>& sounds) {
    for (auto& sound : sounds) sound->sample.reset();
    system.release();
}

void SoundSystem::release() {
    if (context_) {
        if (!sources_.empty()) {
            alSourceStopv(static_cast<ALsizei>(sources_.size()), sources_.data());
            alDeleteSources(static_cast<ALsizei>(sources_.size()), sources_.data());
        }
        if (!buffers_.empty()) alDeleteBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context_);
    }
    if (device_) alcCloseDevice(device_);
    sources_.clear();
    buffers_.clear();
    bufferOfFile_.clear();
    context_ = nullptr;
    device_ = nullptr;
}

}  // namespace xmo
