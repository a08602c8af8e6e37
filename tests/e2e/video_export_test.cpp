// xmotool render --video end to end: what ffprobe and ffmpeg find in the
// file, frames at any size and smoothed, a video made of parts, and that a
// failure leaves nothing behind and the old file as it was.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "support/png_read.h"
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

    // The video's frames' timestamps in display order, as ffprobe prints them.
    static std::vector<std::string> frameTimes(const std::string& path) {
        const test::ProcessResult r = test::runProcess({"/usr/bin/ffprobe", "-v", "error", "-select_streams", "v",
                                                        "-show_entries", "frame=pts_time", "-of", "csv=p=0", path});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        std::vector<std::string> times;
        std::istringstream lines(r.out);
        for (std::string line; std::getline(lines, line);) {
            line = line.substr(0, line.find(','));
            if (!line.empty()) times.push_back(line);
        }
        std::sort(times.begin(), times.end(), [](const std::string& a, const std::string& b) {
            return std::stod(a) < std::stod(b);
        });
        return times;
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

// The frame of tests/data/world/brick_shadow.xmo at 1 s: a red brick over
// grey ground, its shadow, the sky.
test::Picture renderBrick(const std::string& folder, const std::vector<std::string>& options) {
    std::vector<std::string> argv = {XMOTOOL_BIN, "render", "brick_shadow.xmo", "--fps", "10", "--at", "1", "--out",
                                     folder};
    argv.insert(argv.end(), options.begin(), options.end());
    test::ProcessOptions run;
    run.workingDir = std::string(XMO_TEST_DATA) + "/world";
    run.timeoutSeconds = 120;
    const test::ProcessResult r = test::runProcess(argv, run);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return test::readPng(folder + "/frame-000010.png");
}

int largestDifference(const test::Picture::Pixel& a, const test::Picture::Pixel& b) {
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

TEST_F(VideoExport, A16To9FrameHasBlackBarsBesideThe4To3Picture) {
    const test::Picture wide = renderBrick((folder_ / "wide").string(), {"--size", "1920x1080"});
    const test::Picture film = renderBrick((folder_ / "film").string(), {"--size", "1440x1080"});
    ASSERT_EQ(wide.width, 1920);
    ASSERT_EQ(wide.height, 1080);
    ASSERT_EQ(film.width, 1440);
    long barPixels = 0, unlike = 0;
    int most = 0;
    for (int y = 0; y < 1080; ++y) {
        for (int x = 0; x < 1920; ++x) {
            const test::Picture::Pixel p = wide.at(x, y);
            if (x < 240 || x >= 1680) {
                barPixels += p.r + p.g + p.b > 0;
                continue;
            }
            const int d = largestDifference(p, film.at(x - 240, y));
            unlike += d > 0;
            most = std::max(most, d);
        }
    }
    EXPECT_EQ(barPixels, 0) << "bars of 240 pixels each side are black";
    // The rasteriser rounds the odd shading value differently at another
    // place in the frame, by one step at most.
    EXPECT_LE(most, 1);
    EXPECT_LT(unlike, 1440 * 1080 / 10000) << "the picture between the bars is the 1440x1080 frame";
    EXPECT_GT(wide.at(960, 5).b, 150) << "the sky reaches the top of the picture";
}

TEST_F(VideoExport, FourSamplesSmoothEdgesAndKeepTheShadows) {
    const test::Picture sharp = renderBrick((folder_ / "one").string(), {"--samples", "1"});
    const test::Picture smooth = renderBrick((folder_ / "four").string(), {"--samples", "4"});
    ASSERT_EQ(sharp.width, 800);
    ASSERT_EQ(smooth.width, 800);
    // Along the brick's edges over the grey ground: a mix of red (255, 0, 0)
    // and grey is red with equal green and blue between the two.
    const auto redAndGrey = [](const test::Picture& p) {
        long mixed = 0;
        for (int y = 150; y < 350; ++y)
            for (int x = 300; x < 550; ++x) {
                const test::Picture::Pixel c = p.at(x, y);
                mixed += std::abs(c.g - c.b) <= 3 && c.g > 20 && c.g < 130 && c.r > c.g + 40;
            }
        return mixed;
    };
    EXPECT_EQ(redAndGrey(sharp), 0);
    EXPECT_GT(redAndGrey(smooth), 50) << "pixels strictly between the brick's red and the ground's grey";

    // Away from edges the pictures agree, the shadow's inside and outside
    // included: smoothing changes edge pixels only.
    const auto isEdge = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (largestDifference(sharp.at(x, y), sharp.at(x + dx, y + dy)) > 24) return true;
        return false;
    };
    long changed = 0, changedInside = 0;
    for (int y = 1; y < 599; ++y)
        for (int x = 1; x < 799; ++x) {
            if (largestDifference(sharp.at(x, y), smooth.at(x, y)) <= 24) continue;
            ++changed;
            changedInside += !isEdge(x, y);
        }
    EXPECT_GT(changed, 200) << "edges are smoothed";
    EXPECT_LT(changedInside, 800 * 600 / 10000) << "of " << changed << " pixels changed";
}

// A frame or a sample count the GL cannot give is a usage error that names
// the GL's own limit, before the film is loaded. Mesa's rasteriser draws at
// most 4 samples per pixel; a GL that draws 8 renders the frame.
TEST_F(VideoExport, SizesAndSamplesBeyondTheGlsAreRefusedWithItsLimit) {
    const struct {
        std::vector<std::string> options;
        const char* message;
    } cases[] = {
        {{"--size", "65536x49152"}, "xmotool render: --size 65536x49152: "},
        {{"--samples", "8"}, "xmotool render: --samples 8: "},
    };
    const std::regex limit(
        " (draws frames of at most [0-9]+x[0-9]+ pixels|gives at most [1-9] sample\\(s\\) per pixel)\n");
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--at", "0", "--hash"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const test::ProcessResult r = render("app/still.xmo", args);
        if (r.exitCode == 0 && c.options[0] == "--samples") continue;
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_EQ(r.err.rfind(c.message, 0), 0u) << r.err;
        EXPECT_TRUE(std::regex_search(r.err, limit)) << r.err;
        EXPECT_EQ(r.out, "") << "no frame";
    }
}

// One export, and the same export in parts: three parts joined by xmotool
// join and by the README's GNU parallel recipe on this machine, and two by
// --jobs (in WebM too, whose sound starts earlier than MP4's). Each holds the
// single export's frames at its timestamps and its sound, sample for sample:
// the sound is encoded once.
TEST_F(VideoExport, PartsJoinedAreTheSingleExport) {
    const std::string options = " --fps 20 --size 160x120 --samples 1";
    const auto path = [&](const std::string& name) { return (folder_ / name).string(); };
    // The parts, rendered three at a time by GNU parallel, then joined; with
    // the parts in the wrong order first.
    const std::string render = std::string(XMOTOOL_BIN) + " render video/tone_film.xmo" + options;
    const std::string join = std::string(XMOTOOL_BIN) + " join " + path("joined.mp4") + " ";
    const std::string parallel = "parallel --will-cite --sshlogin : --workdir \"$PWD\" --return " +
                                 path("part-{}.mp4") + " --cleanup " + render + " --part {}/3 --video " +
                                 path("part-{}.mp4") + " ::: $(seq 3)";
    test::ProcessOptions shell;
    shell.timeoutSeconds = 300;
    test::ProcessResult r = test::runProcess({"/bin/sh", "-c", parallel}, shell);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = test::runProcess({"/bin/sh", "-c", join + path("part-1.mp4") + " " + path("part-3.mp4") + " " +
                                               path("part-2.mp4")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("part 3, given as part 2; give the parts in order"), std::string::npos) << r.err;
    r = test::runProcess({"/bin/sh", "-c", join + path("part-1.mp4") + " " + path("part-2.mp4") + " " +
                                               path("part-3.mp4")});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const struct {
        std::string single;
        std::vector<std::string> joined;
    } exports[] = {{path("single.mp4"), {path("joined.mp4"), path("jobs.mp4")}},
                   {path("single.webm"), {path("jobs.webm")}}};
    for (const auto& e : exports) {
        r = test::runProcess({"/bin/sh", "-c", render + " --video " + e.single}, shell);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        r = test::runProcess({"/bin/sh", "-c", render + " --jobs 2 --video " + e.joined.back()}, shell);
        ASSERT_EQ(r.exitCode, 0) << r.err;

        const std::vector<std::string> times = frameTimes(e.single);
        const std::vector<std::int16_t> sound = decodeSound(e.single);
        ASSERT_EQ(times.size(), 60u);
        EXPECT_NEAR(sound.size() / 44100.0, 3.0, 0.05);
        for (const std::string& file : e.joined) {
            EXPECT_EQ(frameTimes(file), times) << file;
            EXPECT_TRUE(decodeSound(file) == sound) << file << ": the single export's sound";
        }
    }
}

// Names that ffmpeg would take for an option or a protocol are files all the
// same.
TEST_F(VideoExport, NamesWithADashOrAColonAreFiles) {
    for (const char* name : {"-x.mp4", "take:2.mp4"}) {
        test::ProcessOptions options;
        options.workingDir = folder_.string();
        options.timeoutSeconds = 120;
        const test::ProcessResult r = test::runProcess(
            {XMOTOOL_BIN, "render", std::string(XMO_TEST_DATA) + "/app/still.xmo", "--to", "0.2", "--size", "64x48",
             "--video", name},
            options);
        ASSERT_EQ(r.exitCode, 0) << name << ": " << r.err;
        const std::vector<Stream> streams = probe("file:" + (folder_ / name).string());
        ASSERT_EQ(streams.size(), 1u) << name;
        EXPECT_EQ(streams[0].at("nb_read_frames"), "5") << name;
    }
}

// Whatever fails, the run ends with exit code 1 and a message, and the folder
// holds the old OUT as it was and no temporary file.
TEST_F(VideoExport, AFailureLeavesTheOldFileAsItWas) {
    const fs::path fakes = folder_ / "fake-bin";
    fs::create_directories(fakes);
    const auto fake = [&](const char* name, const char* script) {
        const fs::path dir = fakes / name;
        fs::create_directories(dir);
        std::ofstream(dir / "ffmpeg") << script;
        fs::permissions(dir / "ffmpeg", fs::perms::owner_all);
        return "PATH=" + dir.string() + ":/usr/bin:/bin";
    };
    const std::string failing =
        fake("failing", "#!/bin/sh\nhead -c 100000 >/dev/null\necho 'fake ffmpeg: cannot encode' >&2\nexit 3\n");
    const std::string silent = fake("silent", "#!/bin/sh\ncat >/dev/null\nexit 0\n");

    // A disk that fills while ffmpeg writes the end of the file: 500 tiny
    // frames make an index (written last) larger than the frames, and the
    // disk holds the old file and the frames but not the index.
    const fs::path disk = folder_ / "disk";
    fs::create_directories(disk);
    const bool mounted = mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=16k") == 0;
    if (!mounted)
        std::cout << "[ SKIPPED  ] the full disk: cannot mount a tmpfs (" << std::strerror(errno) << ")\n";

    const std::vector<std::string> tiny = {"--size", "64x48", "--samples", "1"};
    const struct {
        const char* what;
        std::string movie;
        std::vector<std::string> options;
        std::vector<std::string> env;
        int fileSizeLimit;  // in KiB; 0: none
        bool readOnly, onFullDisk;
        const char* message;
    } cases[] = {
        {"ffmpeg missing", "video/tone_film.xmo", tiny, {"PATH=/nonexistent"}, 0, false, false,
         "cannot run ffmpeg: not found on PATH; video export needs ffmpeg"},
        {"ffmpeg failing", "video/tone_film.xmo", tiny, {failing}, 0, false, false,
         "ffmpeg failed (exit status 3): fake ffmpeg: cannot encode"},
        {"ffmpeg writing nothing", "app/still.xmo", tiny, {silent}, 0, false, false,
         "the file ffmpeg wrote cannot be read whole: ffprobe failed"},
        // Past the size limit a write fails as on a full disk: first ours,
        // of the sound track, then ffmpeg's, of a film without music.
        {"no room for the sound track", "video/tone_film.xmo", {}, {}, 200, false, false,
         "cannot write the sound track"},
        {"no room for the video", "app/still.xmo", {}, {}, 8, false, false, "ffmpeg was ended by signal"},
        {"a read-only file", "app/still.xmo", tiny, {}, 0, true, false, "read-only file"},
        {"a full disk", "app/still.xmo", {"--to", "5", "--fps", "100", "--size", "64x48", "--samples", "1"}, {}, 0,
         false, true, "No space left on device"},
    };
    for (const auto& c : cases) {
        if (c.onFullDisk && !mounted) continue;
        const fs::path outFolder = c.onFullDisk ? disk : folder_ / "out";
        fs::create_directories(outFolder);
        const std::string out = (outFolder / "film.mp4").string();
        std::ofstream(out) << "the old film";
        if (c.readOnly) fs::permissions(out, fs::perms::owner_read);

        test::ProcessOptions options;
        options.env = c.env;
        options.timeoutSeconds = 300;
        std::vector<std::string> argv = {XMOTOOL_BIN, "render", c.movie, "--video", out};
        argv.insert(argv.end(), c.options.begin(), c.options.end());
        if (c.fileSizeLimit) {
            argv.insert(argv.begin(),
                        {"/bin/sh", "-c", "ulimit -f " + std::to_string(c.fileSizeLimit) + "; exec \"$0\" \"$@\""});
        }
        const test::ProcessResult r = test::runProcess(argv, options);
        EXPECT_EQ(r.exitCode, 1) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(test::readFile(out), "the old film") << c.what;
        std::vector<std::string> left;
        for (const fs::directory_entry& e : fs::directory_iterator(outFolder)) left.push_back(e.path().filename());
        EXPECT_EQ(left, std::vector<std::string>{"film.mp4"}) << c.what << ": no temporary file is left";
        fs::remove_all(outFolder / "film.mp4");
    }
    if (mounted) umount(disk.c_str());
}

}  // namespace
}  // namespace xmo
