// The player's music end to end, through OpenAL Soft's wave-file output: what
// the audience would hear, when, and what the player says when the music
// cannot be had.
#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;

bool haveDisplay() { return std::getenv("DISPLAY") != nullptr; }

class PlayerMusic : public ::testing::Test {
protected:
    void SetUp() override {
        if (!haveDisplay()) GTEST_SKIP() << "needs a display";
        folder_ = fs::temp_directory_path() / ("xmo-music-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        wave_ = folder_ / "mix.wav";
        fs::remove(wave_);  // left by a failed test before
        std::ofstream(folder_ / "alsoft.conf") << "[general]\ndrivers=wave\nfrequency=44100\nchannels=mono\n"
                                                  "sample-type=int16\n[wave]\nfile="
                                               << wave_.string() << "\n";
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(folder_);
    }

    // Plays the film with the wave file as the only output device; stop(pid,
    // elapsed) may end the run early.
    test::ProcessResult play(const std::string& movie, std::function<void(int, double)> stop = {}) const {
        test::ProcessOptions options;
        options.timeoutSeconds = 30;
        // See player_exit_test.cpp: the window system's libraries keep
        // allocations that a sanitizer build cannot name.
        options.env = {"ALSOFT_CONF=" + (folder_ / "alsoft.conf").string(), "ASAN_OPTIONS=detect_leaks=0"};
        options.whileRunning = std::move(stop);
        return test::runProcess({XMOPLAY_BIN, movie}, options);
    }

    // The recorded samples, and whether the device was closed (the writer
    // then puts the sizes into the header).
    struct Recording {
        std::vector<std::int16_t> samples;
        bool closed = false;
    };
    Recording recording() const {
        Recording r;
        const std::string bytes = test::readFile(wave_.string());
        const std::size_t data = bytes.find("data");
        if (bytes.size() < 12 || data == std::string::npos || bytes.size() < data + 8) return r;
        std::uint32_t riffSize = 0, dataSize = 0;
        std::memcpy(&riffSize, bytes.data() + 4, 4);
        std::memcpy(&dataSize, bytes.data() + data + 4, 4);
        r.samples.resize((bytes.size() - data - 8) / 2);
        std::memcpy(r.samples.data(), bytes.data() + data + 8, r.samples.size() * 2);
        r.closed = riffSize == bytes.size() - 8 && dataSize == r.samples.size() * 2;
        return r;
    }

    fs::path folder_, wave_;
};

TEST_F(PlayerMusic, TheRecordingIsSilentUntilOneSecondAndThenCarriesTheTone) {
    // Ended (as by closing the window) once 2.2 s are recorded: the tone
    // plays from 1 s to 3 s of film time.
    bool sent = false;
    const test::ProcessResult r = play("effects/music_at_one.xmo", [&](int pid, double) {
        std::error_code error;
        const auto size = fs::file_size(wave_, error);
        if (!error && size > 2.2 * kRate * 2 && !sent) sent = kill(pid, SIGTERM) == 0;
    });
    ASSERT_TRUE(sent) << r.out << r.err;
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, ".\nLoading music file...\n");

    const Recording mix = recording();
    EXPECT_TRUE(mix.closed) << "the device was not closed";
    // The recording starts when the device opens, a little before the film
    // clock: the tone sets in at 1 s, give or take the decoding before the
    // clock started and the mixer's period, and not a sample sounds before.
    std::size_t onset = 0;
    while (onset < mix.samples.size() && std::abs(int(mix.samples[onset])) <= 1) ++onset;
    EXPECT_GT(onset, std::size_t(0.95 * kRate)) << "sound before the music's start time";
    EXPECT_LT(onset, std::size_t(1.5 * kRate)) << "the music started late";
    // Half a second of 440 Hz after the onset.
    const std::size_t from = onset + kRate / 10, frames = kRate / 2;
    ASSERT_GE(mix.samples.size(), from + frames) << "recording too short";
    int crossings = 0;
    double energy = 0;
    for (std::size_t i = from; i < from + frames; ++i) {
        if ((mix.samples[i - 1] < 0) != (mix.samples[i] < 0)) ++crossings;
        energy += double(mix.samples[i]) * mix.samples[i];
    }
    EXPECT_NEAR(crossings, 440, 10);  // two a period over half a second
    EXPECT_GT(std::sqrt(energy / frames), 5000.0);
}

TEST_F(PlayerMusic, AFilmWithoutMusicStillOpensAndClosesTheDevice) {
    bool sent = false;
    const test::ProcessResult r = play("app/still.xmo", [&](int pid, double) {
        std::error_code error;
        const auto size = fs::file_size(wave_, error);
        if (!error && size > 0.5 * kRate * 2 && !sent) sent = kill(pid, SIGTERM) == 0;
    });
    ASSERT_TRUE(sent) << r.out << r.err;
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(recording().closed);
}

TEST_F(PlayerMusic, RenderingAFilmOpensNoSoundDevice) {
    test::ProcessOptions options;
    options.env = {"ALSOFT_CONF=" + (folder_ / "alsoft.conf").string()};
    const test::ProcessResult r = test::runProcess({XMOTOOL_BIN, "render", "effects/music_at_one.xmo", "--fps", "10",
                                                    "--at", "2", "--out", (folder_ / "frames").string()},
                                                   options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::exists(wave_));
}

TEST_F(PlayerMusic, MusicThatCannotBeLoadedStopsThePlayerWithItsReason) {
    const struct {
        const char* name;
        const char* bytes;  // nullptr: no such file
        const char* reason;
    } cases[] = {
        {"missing", nullptr, "File not found"},
        {"empty", "", "Unknown file format"},
        {"text", "<Movie>not music</Movie>\n", "Unknown file format"},
    };
    for (const auto& c : cases) {
        const fs::path music = folder_ / (std::string(c.name) + ".mp3");
        if (c.bytes) std::ofstream(music, std::ios::binary) << c.bytes;
        const fs::path film = folder_ / (std::string(c.name) + ".xmo");
        std::ofstream(film) << "<Movie><Sounds><Sound filename=\"" << music.string()
                            << "\" starttime=\"0\"/></Sounds><Sequence duration=\"1\"><Camera/></Sequence></Movie>\n";
        const test::ProcessResult r = play(film.string());
        EXPECT_EQ(r.exitCode, 1) << c.name << ": " << r.err;
        EXPECT_EQ(r.out, ".\nLoading music file...\nError!\n" + std::string(c.reason) + "\n") << c.name;
    }
}

}  // namespace
}  // namespace xmo
