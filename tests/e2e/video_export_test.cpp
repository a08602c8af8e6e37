// xmotool render --video end to end: what ffprobe and ffmpeg find in the
// file, and that a failure leaves nothing behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

using Stream = std::map<std::string, std::string>;

class VideoExport : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("xmo-video-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        if (!HasFailure()) fs::remove_all(folder_);
    }

    // xmotool render MOVIE ARGS..., from the test data folder.
    static test::ProcessResult render(const std::string& movie, const std::vector<std::string>& args,
                                      test::ProcessOptions options = {}) {
        std::vector<std::string> argv = {XMOTOOL_BIN, "render", movie};
        argv.insert(argv.end(), args.begin(), args.end());
        options.timeoutSeconds = 300;
        return test::runProcess(argv, options);
    }

    // Every stream of the file, each as its ffprobe fields.
    static std::vector<Stream> probe(const std::string& path) {
        const test::ProcessResult r =
            test::runProcess({"/usr/bin/ffprobe", "-v", "error", "-count_frames", "-show_entries",
                              "stream=codec_type,codec_name,width,height,r_frame_rate,nb_read_frames", "-of",
                              "compact", path});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<Stream> streams;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            Stream fields;
            std::istringstream items(line);
            for (std::string item; std::getline(items, item, '|');) {
                const std::size_t equals = item.find('=');
                if (equals != std::string::npos) fields[item.substr(0, equals)] = item.substr(equals + 1);
            }
            streams.push_back(fields);
        }
        return streams;
    }

    // The sound track decoded to mono 16-bit samples at 44100 Hz.
    static std::vector<std::int16_t> decodeSound(const std::string& path) {
        const test::ProcessResult r = test::runProcess(
            {"/usr/bin/ffmpeg", "-v", "error", "-i", path, "-map", "0:a", "-f", "s16le", "-ac", "1", "-ar", "44100", "-"});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::int16_t> samples(r.out.size() / 2);
        std::memcpy(samples.data(), r.out.data(), samples.size() * 2);
        return samples;
    }

    std::vector<std::string> filesInFolder() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename());
        return names;
    }

    fs::path folder_;
};

double peak(const std::vector<std::int16_t>& s, double from, double to) {
    int most = 0;
    for (std::size_t i = std::size_t(from * 44100); i < std::min(s.size(), std::size_t(to * 44100)); ++i)
        most = std::max(most, std::abs(int(s[i])));
    return most;
}

double rms(const std::vector<std::int16_t>& s, double from, double to) {
    double sum = 0.0;
    const std::size_t a = std::size_t(from * 44100), b = std::min(s.size(), std::size_t(to * 44100));
    for (std::size_t i = a; i < b; ++i) sum += double(s[i]) * s[i];
    return b > a ? std::sqrt(sum / double(b - a)) : 0.0;
}

double frequency(const std::vector<std::int16_t>& s, double from, double to) {
    int crossings = 0;
    const std::size_t a = std::size_t(from * 44100), b = std::min(s.size(), std::size_t(to * 44100));
    for (std::size_t i = a + 1; i < b; ++i)
        if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
    return crossings / 2.0 / (to - from);
}

// Three seconds with a 440 Hz tone from film time 1.0: at 20 frames per
// second the tone starts in frame 21, the first whose film time (1.05 s) is
// past 1.0.
TEST_F(VideoExport, AFilmWithAToneHasItsFramesAndItsMusicInPlace) {
    const struct {
        const char* file;
        const char* videoCodec;
        const char* soundCodec;
    } formats[] = {{"tone.mp4", "h264", "aac"}, {"tone.webm", "vp9", "opus"}};
    for (const auto& f : formats) {
        const std::string out = (folder_ / f.file).string();
        const test::ProcessResult r = render("video/tone_film.xmo", {"--video", out, "--fps", "20"});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.err.find("wrote " + out + ": 60 frames at 20 fps"), std::string::npos) << r.err;

        const std::vector<Stream> streams = probe(out);
        ASSERT_EQ(streams.size(), 2u) << f.file;
        const bool videoFirst = streams[0].at("codec_type") == "video";
        const Stream& video = streams[videoFirst ? 0 : 1];
        const Stream& sound = streams[videoFirst ? 1 : 0];
        EXPECT_EQ(video.at("codec_name"), f.videoCodec);
        EXPECT_EQ(video.at("width"), "800");
        EXPECT_EQ(video.at("height"), "600");
        EXPECT_EQ(video.at("r_frame_rate"), "20/1");
        EXPECT_EQ(video.at("nb_read_frames"), "60");
        EXPECT_EQ(sound.at("codec_type"), "audio");
        EXPECT_EQ(sound.at("codec_name"), f.soundCodec);

        const std::vector<std::int16_t> s = decodeSound(out);
        EXPECT_NEAR(s.size() / 44100.0, 3.0, 0.05) << f.file;
        EXPECT_LT(peak(s, 0.0, 1.0), 100) << f.file << ": silent until one frame before the tone";
        std::size_t onset = 0;
        while (onset < s.size() && std::abs(int(s[onset])) < 1000) ++onset;
        EXPECT_NEAR(onset / 44100.0, 1.05, 0.01) << f.file;
        EXPECT_NEAR(rms(s, 1.1, 2.9), 0.5 * 32767 / std::sqrt(2.0), 1500.0) << f.file;
        EXPECT_NEAR(frequency(s, 1.1, 2.9), 440.0, 5.0) << f.file;
    }
    EXPECT_EQ(filesInFolder().size(), 2u) << "no temporary file is left";
}

TEST_F(VideoExport, AFilmWithoutSoundsHasNoSoundStream) {
    const std::string out = (folder_ / "still.mp4").string();
    const test::ProcessResult r = render("app/still.xmo", {"--video", out, "--from", "0.5", "--to", "1.5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<Stream> streams = probe(out);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].at("codec_type"), "video");
    EXPECT_EQ(streams[0].at("nb_read_frames"), "25");
    EXPECT_EQ(streams[0].at("r_frame_rate"), "25/1");
}

// Whatever fails, the run ends with exit code 1 and a message, and the folder
// holds neither OUT nor a temporary file.
TEST_F(VideoExport, AFailureLeavesNoFileBehind) {
    const fs::path fakes = folder_ / "fake-bin";
    fs::create_directories(fakes);
    {
        std::ofstream script(fakes / "ffmpeg");
        script << "#!/bin/sh\nhead -c 100000 >/dev/null\necho 'fake ffmpeg: cannot encode' >&2\nexit 3\n";
    }
    fs::permissions(fakes / "ffmpeg", fs::perms::owner_all);
    const fs::path outFolder = folder_ / "out";
    fs::create_directories(outFolder);
    const std::string out = (outFolder / "film.mp4").string();

    const struct {
        const char* what;
        std::string movie;
        std::vector<std::string> env;
        int fileSizeLimit;  // in KiB; 0: none
        const char* message;
    } cases[] = {
        {"ffmpeg missing", "video/tone_film.xmo", {"PATH=/nonexistent"}, 0,
         "cannot run ffmpeg: not found on PATH; video export needs ffmpeg"},
        {"ffmpeg failing", "video/tone_film.xmo", {"PATH=" + fakes.string() + ":/usr/bin:/bin"}, 0,
         "ffmpeg failed (exit status 3)"},
        // Past the size limit a write fails as on a full disk: first ours,
        // of the sound track, then ffmpeg's, of a film without music.
        {"no room for the sound track", "video/tone_film.xmo", {}, 200, "cannot write the sound track"},
        {"no room for the video", "app/still.xmo", {}, 8, "ffmpeg was ended by signal"},
    };
    for (const auto& c : cases) {
        test::ProcessOptions options;
        options.env = c.env;
        std::vector<std::string> argv = {XMOTOOL_BIN, "render", c.movie, "--video", out};
        if (c.fileSizeLimit) {
            argv.insert(argv.begin(),
                        {"/bin/sh", "-c", "ulimit -f " + std::to_string(c.fileSizeLimit) + "; exec \"$0\" \"$@\""});
        }
        options.timeoutSeconds = 300;
        const test::ProcessResult r = test::runProcess(argv, options);
        EXPECT_EQ(r.exitCode, 1) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
        EXPECT_TRUE(fs::is_empty(outFolder)) << c.what;
    }
}

}  // namespace
}  // namespace xmo
