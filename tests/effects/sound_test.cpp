// The music schedule, decoding and output. Tests that open an output device
// run in a child process of their own: OpenAL Soft reads its configuration
// (ALSOFT_CONF) once per process.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "effects/sound.h"
#include "effects/sound_schedule.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

const std::string kTone = std::string(XMO_TEST_DATA) + "/effects/tone440.mp3";

std::vector<std::unique_ptr<Sound>> soundsAt(std::initializer_list<float> starts, const std::string& file = kTone) {
    std::vector<std::unique_ptr<Sound>> sounds;
    for (float start : starts) {
        sounds.push_back(std::make_unique<Sound>());
        sounds.back()->starttime = start;
        sounds.back()->filename = file;
    }
    return sounds;
}

fs::path scratchFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("xmoplay-sound-" + name + "-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

// Zero crossings per second of one channel of interleaved samples.
double crossingsPerSecond(const std::int16_t* samples, std::size_t frames, int channels, long rate) {
    int crossings = 0;
    for (std::size_t i = 1; i < frames; ++i)
        if ((samples[(i - 1) * channels] < 0) != (samples[i * channels] < 0)) ++crossings;
    return crossings * static_cast<double>(rate) / static_cast<double>(frames);
}

double rms(const std::int16_t* samples, std::size_t frames, int channels) {
    double sum = 0.0;
    for (std::size_t i = 0; i < frames; ++i) sum += double(samples[i * channels]) * samples[i * channels];
    return frames ? std::sqrt(sum / frames) : 0.0;
}

TEST(SoundSchedule, EachSoundStartsOnceInListOrderWhenFilmTimePassesItsStart) {
    auto sounds = soundsAt({0.0f, 5.0f, 5.0f, 2.0f});
    const struct {
        float t;
        std::vector<int> started;  // indexes, in the order they start
    } frames[] = {
        {0.004f, {0}}, {1.0f, {}}, {4.99f, {3}}, {5.0f, {}}, {5.01f, {1, 2}}, {7.0f, {}},
    };
    for (const auto& frame : frames) {
        std::vector<int> started;
        startDueSounds(sounds, frame.t, [&](Sound& s) {
            for (std::size_t i = 0; i < sounds.size(); ++i)
                if (sounds[i].get() == &s) started.push_back(static_cast<int>(i));
        });
        EXPECT_EQ(started, frame.started) << "at film time " << frame.t;
    }
}

TEST(SoundSchedule, ErrorTextsAreTheFixedOnes) {
    const struct {
        SoundError error;
        const char* text;
    } cases[] = {
        {SoundError::OutputDevice, "Error initializing output device."},
        {SoundError::FileNotFound, "File not found"},
        {SoundError::UnknownFormat, "Unknown file format"},
        {SoundError::LoadFailed, "Error loading file"},
        {SoundError::OutOfMemory, "Not enough memory "},
    };
    for (const auto& c : cases) EXPECT_STREQ(soundErrorText(c.error), c.text);
}

// At its own rate (44100 Hz), and resampled for a sound track of another rate.
TEST(MpegDecoding, TheToneComesOutWhole) {
    for (const long rate : {0L, 48000L, 22050L}) {
        const DecodeResult tone = decodeMpegAudioFile(kTone, rate);
        ASSERT_FALSE(tone.error) << soundErrorText(*tone.error);
        const long expectedRate = rate ? rate : 44100;
        EXPECT_EQ(tone.audio.rate, expectedRate);
        ASSERT_EQ(tone.audio.channels, 1);
        const std::size_t frames = tone.audio.samples.size();
        EXPECT_NEAR(double(frames) / expectedRate, 2.0, 0.06) << rate;
        EXPECT_NEAR(crossingsPerSecond(tone.audio.samples.data(), frames, 1, expectedRate) / 2, 440.0, 5.0) << rate;
        EXPECT_NEAR(rms(tone.audio.samples.data(), frames, 1), 0.5 * 32767 / std::sqrt(2.0), 1500.0) << rate;
    }
}

TEST(MpegDecoding, BadFilesFailWithTheirReasonAndNeverCrash) {
    const fs::path folder = scratchFolder("decode");
    const std::string whole = test::readFile(kTone);
    ASSERT_FALSE(whole.empty());
    std::mt19937 random(11);
    std::string noise(20000, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const struct {
        const char* name;
        std::string bytes;
        std::optional<SoundError> expected;  // nothing: any outcome but a crash
    } cases[] = {
        {"empty.mp3", "", SoundError::UnknownFormat},
        {"text.mp3", "<Movie>this is not music</Movie>\n", SoundError::UnknownFormat},
        {"noise.mp3", noise, std::nullopt},
        {"header-only.mp3", whole.substr(0, 6), SoundError::UnknownFormat},
    };
    for (const auto& c : cases) {
        const fs::path path = folder / c.name;
        std::ofstream(path, std::ios::binary) << c.bytes;
        const DecodeResult result = decodeMpegAudioFile(path.string());
        if (c.expected) {
            ASSERT_TRUE(result.error) << c.name;
            EXPECT_EQ(*result.error, *c.expected) << c.name;
        }
        if (result.error) {
            EXPECT_TRUE(result.audio.samples.empty()) << c.name;
        }
    }
    EXPECT_EQ(decodeMpegAudioFile((folder / "no-such.mp3").string()).error, SoundError::FileNotFound);

    // A file cut short plays what it holds.
    const std::string half = whole.substr(0, whole.size() / 2 + 7);
    const DecodeResult cut = decodeMpegAudio(reinterpret_cast<const std::uint8_t*>(half.data()), half.size());
    ASSERT_FALSE(cut.error) << soundErrorText(*cut.error);
    EXPECT_NEAR(cut.audio.samples.size() / 44100.0, 1.0, 0.1);
    fs::remove_all(folder);
}

// Runs body in a forked child process with OpenAL Soft configured by config;
// the child's exit code is body's result. The parent never starts OpenAL, so
// each child starts it afresh, with its own configuration.
void inChildWithOpenAlConfig(const std::string& config, const std::function<int()>& body) {
    GTEST_FLAG_SET(death_test_style, "fast");
    const fs::path file = scratchFolder("conf") / "alsoft.conf";
    std::ofstream(file) << config;
    EXPECT_EXIT(
        {
            ::setenv("ALSOFT_CONF", file.c_str(), 1);
            std::exit(body());
        },
        ::testing::ExitedWithCode(0), "");
    fs::remove_all(file.parent_path());
}

TEST(SoundSystem, WithoutAnyDeviceTheFilmIsSilentAndNothingIsLoaded) {
    inChildWithOpenAlConfig("[general]\ndrivers=no-such-driver\n", [] {
        auto sounds = soundsAt({0.0f}, "no-such-music.mp3");
        SoundSystem system;
        if (startSound(system, sounds) || !system.isSilent()) return 1;
        updateSound(system, sounds, 1.0f);
        stopSound(system, sounds);
        return sounds[0]->sample ? 2 : 0;
    });
}

// The wave writer records the mix as it is made, in real time.
struct Recording {
    std::vector<std::int16_t> samples;  // mono
    std::size_t framesBeforeStart = 0;  // written before the music was started
};

Recording readRecording(const fs::path& wave, const fs::path& marker) {
    Recording r;
    const std::string bytes = test::readFile(wave.string());
    const std::size_t data = bytes.find("data");
    if (data == std::string::npos) return r;
    const std::size_t first = data + 8;
    r.samples.resize((bytes.size() - first) / 2);
    std::memcpy(r.samples.data(), bytes.data() + first, r.samples.size() * 2);
    const std::size_t writtenBefore = std::stoul(test::readFile(marker.string()));
    r.framesBeforeStart = writtenBefore > first ? (writtenBefore - first) / 2 : 0;
    return r;
}

TEST(SoundSystem, TheRecordedMixIsSilentUntilTheMusicStartsThenCarriesIt) {
    const fs::path folder = scratchFolder("mix");
    const fs::path wave = folder / "mix.wav", marker = folder / "started-at";
    inChildWithOpenAlConfig(
        "[general]\ndrivers=wave\nfrequency=44100\nchannels=mono\nsample-type=int16\n[wave]\nfile=" + wave.string() +
            "\n",
        [&] {
            auto sounds = soundsAt({0.5f});
            SoundSystem system;
            if (startSound(system, sounds) || system.isSilent()) return 1;
            const auto begin = std::chrono::steady_clock::now();
            for (;;) {
                const float t = std::chrono::duration<float>(std::chrono::steady_clock::now() - begin).count();
                if (t > 1.6f) break;
                const auto before = fs::file_size(wave);
                updateSound(system, sounds, t);
                if (sounds[0]->started && !fs::exists(marker)) std::ofstream(marker) << before;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            stopSound(system, sounds);
            return fs::exists(marker) ? 0 : 2;
        });
    const Recording r = readRecording(wave, marker);
    ASSERT_GT(r.framesBeforeStart, 0u) << "the device recorded nothing before the start";
    int loudest = 0;
    for (std::size_t i = 0; i < r.framesBeforeStart && i < r.samples.size(); ++i)
        loudest = std::max(loudest, std::abs(int(r.samples[i])));
    EXPECT_LE(loudest, 1) << "sound before the music started";
    // Some 0.25 s after the start call (the mixer works ahead of the output),
    // half a second of the tone.
    const std::size_t from = r.framesBeforeStart + 11025, frames = 22050;
    ASSERT_GE(r.samples.size(), from + frames) << "recording too short";
    EXPECT_NEAR(crossingsPerSecond(r.samples.data() + from, frames, 1, 44100) / 2, 440.0, 10.0);
    EXPECT_GT(rms(r.samples.data() + from, frames, 1), 2000.0);
    fs::remove_all(folder);
}

// A seek marks what the player would have started by then, also without a
// device, so the sounds after it start on film time as they would have.
TEST(SoundSystem, ASeekMarksTheSoundsDueByThen) {
    auto sounds = soundsAt({0.0f, 1.0f, 1.0f, 3.0f});
    sounds[3]->started = true;  // a sound the film had started before going back
    SoundSystem system;
    system.keepSilent();
    ASSERT_FALSE(startSound(system, sounds));
    seekSound(system, sounds, 1.0f);
    const bool expected[] = {true, false, false, false};
    for (std::size_t i = 0; i < sounds.size(); ++i) EXPECT_EQ(sounds[i]->started, expected[i]) << "sound " << i;
}

// Paused, a sound that comes due starts silent; resumed, it is heard; a seek
// past the end of its music silences it.
TEST(SoundSystem, PauseHoldsTheMusicAndASeekPastItsEndSilencesIt) {
    const fs::path folder = scratchFolder("pause");
    const fs::path wave = folder / "mix.wav";
    std::vector<std::uintmax_t> marks;  // the recording's size at each step
    inChildWithOpenAlConfig(
        "[general]\ndrivers=wave\nfrequency=44100\nchannels=mono\nsample-type=int16\n[wave]\nfile=" + wave.string() +
            "\n",
        [&] {
            auto sounds = soundsAt({0.0f});
            SoundSystem system;
            if (startSound(system, sounds) || system.isSilent()) return 1;
            std::ofstream log(folder / "marks");
            const auto mark = [&] { log << fs::file_size(wave) << "\n"; };
            const auto wait = [] { std::this_thread::sleep_for(std::chrono::milliseconds(600)); };
            pauseSound(system, sounds);
            updateSound(system, sounds, 0.1f);
            mark();
            wait();
            mark();
            resumeSound(system, sounds);
            wait();
            mark();
            seekSound(system, sounds, 5.0f);
            wait();
            mark();
            stopSound(system, sounds);
            return 0;
        });
    std::ifstream log(folder / "marks");
    for (std::uintmax_t m; log >> m;) marks.push_back(m);
    ASSERT_EQ(marks.size(), 4u);
    const std::string bytes = test::readFile(wave.string());
    const std::size_t data = bytes.find("data");
    ASSERT_NE(data, std::string::npos);
    const auto loudness = [&](std::uintmax_t fromByte, std::uintmax_t toByte) {
        // The mixer works ahead of the file: skip a quarter second after a change.
        const std::size_t from = static_cast<std::size_t>(fromByte) + 2 * 11025;
        const std::size_t to = std::min<std::size_t>(static_cast<std::size_t>(toByte), bytes.size());
        if (from >= to) return -1.0;
        std::vector<std::int16_t> samples((to - from) / 2);
        std::memcpy(samples.data(), bytes.data() + from, samples.size() * 2);
        return rms(samples.data(), samples.size(), 1);
    };
    EXPECT_LT(loudness(marks[0], marks[1]), 50.0) << "heard while paused";
    EXPECT_GT(loudness(marks[1], marks[2]), 2000.0) << "not heard once resumed";
    EXPECT_LT(loudness(marks[2], marks[3]), 50.0) << "heard after a seek past its end";
    fs::remove_all(folder);
}

}  // namespace
}  // namespace xmo
