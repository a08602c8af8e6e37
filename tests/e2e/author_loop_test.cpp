// The player as an author uses it, watched from outside: a start time that
// lands on the frame xmotool render makes there, pause and step, reload on
// save, seeks by key and by the time bar, stills, the problems panel, and no
// invisible film without a display. Pictures come from the player's capture
// hook (XMOPLAY_CAPTURE and SIGUSR1), which leaves the player's own overlays
// out, or from a screenshot of the window with them; keys and clicks from
// xdotool.
#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

bool haveDisplay() { return std::getenv("DISPLAY") != nullptr; }

void pause(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

fs::path scratchFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("xmo-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

// Pixels whose colour differs at all. Two GL drivers (the window's, the
// offscreen renderer's) may round a handful of edge pixels apart.
int differingPixels(const test::Picture& a, const test::Picture& b) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height + 1;
    int count = 0;
    for (std::size_t i = 0; i < a.rgba.size(); i += 4)
        if (a.rgba[i] != b.rgba[i] || a.rgba[i + 1] != b.rgba[i + 1] || a.rgba[i + 2] != b.rgba[i + 2]) ++count;
    return count;
}
constexpr int kSameFrame = 100;  // of 480000 pixels; a frame's neighbour differs in thousands

// Asks the running player for its picture and waits until it is written.
// A request the player has not yet read (while it starts again after a
// reload) stays pending and is answered by its first picture.
test::Picture capture(int pid, const fs::path& file) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        fs::remove(file);
        kill(pid, SIGUSR1);
        for (int wait = 0; wait < 30; ++wait) {
            if (fs::exists(file)) return test::readPng(file.string());
            pause(0.1);
        }
    }
    ADD_FAILURE() << "the player wrote no picture";
    return {};
}

std::string windowTitle() {
    std::string title;
    if (FILE* p = popen("xdotool search --class xmoplay getwindowname %@ 2>/dev/null", "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, p)) title += line;
        pclose(p);
    }
    return title;
}

// Waits (at most 20 s) until the window title passes the check.
template <typename Check>
std::string waitForTitle(Check check) {
    for (int wait = 0; wait < 200; ++wait) {
        const std::string title = windowTitle();
        if (check(title)) return title;
        pause(0.1);
    }
    ADD_FAILURE() << "the title never showed what was awaited; it reads: " << windowTitle();
    return {};
}

void pressKey(const char* key) { std::system((std::string("xdotool key ") + key + " >/dev/null 2>&1").c_str()); }

// Runs the player with the capture hook; steps runs once the player had a
// second to start, then the player is asked to quit as if its window closed.
test::ProcessResult playWhile(const std::vector<std::string>& args, const fs::path& folder, const fs::path& captureFile,
                              const std::function<void(int pid)>& steps) {
    test::ProcessOptions options;
    options.workingDir = folder.string();
    options.timeoutSeconds = 120;
    options.env = {"XMOPLAY_CAPTURE=" + captureFile.string(), "ASAN_OPTIONS=detect_leaks=0"};
    bool done = false;
    options.whileRunning = [&](int pid, double elapsed) {
        if (done || elapsed < 1.0) return;
        done = true;
        steps(pid);
        kill(pid, SIGTERM);
    };
    std::vector<std::string> argv{XMOPLAY_BIN};
    argv.insert(argv.end(), args.begin(), args.end());
    return test::runProcess(argv, options);
}

// Frames of xmotool render at the given times (at 25 frames per second).
std::vector<test::Picture> rendered(const fs::path& folder, const std::string& film, const std::string& times,
                                    const std::vector<int>& frames) {
    const fs::path out = folder / "rendered";
    test::ProcessOptions options;
    options.workingDir = folder.string();
    options.timeoutSeconds = 120;
    const test::ProcessResult r =
        test::runProcess({XMOTOOL_BIN, "render", film, "--fps", "25", "--at", times, "--out", out.string()}, options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<test::Picture> pictures;
    for (int n : frames) {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", n);
        pictures.push_back(test::readPng((out / name).string()));
    }
    fs::remove_all(out);
    return pictures;
}

fs::path filmCopy(const std::string& name) {
    const fs::path folder = scratchFolder(name);
    for (const char* file : {"author_loop.xmo", "lamp.x3d"})
        fs::copy_file(fs::path(XMO_TEST_DATA) / "app" / file, folder / file);
    return folder;
}

// An editor's save: a new file renamed over the old one, or a write in place.
void save(const fs::path& file, const std::string& text, bool byRename) {
    const fs::path target = byRename ? fs::path(file.string() + ".new") : file;
    std::ofstream(target, std::ios::binary) << text;
    if (byRename) fs::rename(target, file);
}

// The test film with its red brick in another colour.
std::string filmWithRedBrickAs(const std::string& colour) {
    std::string text = test::readFile((fs::path(XMO_TEST_DATA) / "app" / "author_loop.xmo").string());
    const std::string red = "color=\"9\"";
    text.replace(text.find(red), red.size(), "color=\"" + colour + "\"");
    return text;
}

bool isRed(test::Picture::Pixel p) { return p.r > 200 && p.g < 60 && p.b < 60; }
bool isBlue(test::Picture::Pixel p) { return p.b > 200 && p.r < 60; }
bool isGreen(test::Picture::Pixel p) { return p.g > 200 && p.r < 150 && p.b < 220 && p.b > 60; }

TEST(AuthorLoop, AStartTimeLandsOnTheFrameXmotoolRendersThere) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    const fs::path folder = filmCopy("start");
    test::Picture shown;
    const test::ProcessResult r = playWhile({"-w", "--start", "1.2", "--paused", "author_loop.xmo"}, folder,
                                            folder / "shown.png", [&](int pid) { shown = capture(pid, folder / "shown.png"); });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // 1.16 s and 1.2 s are frames 29 and 30 at 25 frames per second.
    const std::vector<test::Picture> frames = rendered(folder, "author_loop.xmo", "1.16,1.2", {29, 30});
    EXPECT_LE(differingPixels(shown, frames[1]), kSameFrame);
    EXPECT_GT(differingPixels(shown, frames[0]), 10 * kSameFrame) << "the frame before must not pass for it";
    fs::remove_all(folder);
}

TEST(AuthorLoop, PauseHoldsThePictureStepMovesItOnResumePlays) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    const fs::path folder = filmCopy("pause");
    const fs::path file = folder / "shown.png";
    test::Picture held1, held2, stepped, playing1, playing2;
    std::string pausedTitle, steppedTitle;
    const test::ProcessResult r = playWhile({"--window", "author_loop.xmo"}, folder, file, [&](int pid) {
        waitForTitle([](const std::string& t) { return t.find("sequence") != std::string::npos; });
        pressKey("space");
        pausedTitle = waitForTitle([](const std::string& t) { return t.find("| paused") != std::string::npos; });
        held1 = capture(pid, file);
        pause(1.0);
        held2 = capture(pid, file);
        pressKey("Right");
        steppedTitle = waitForTitle([&](const std::string& t) { return !t.empty() && t != pausedTitle; });
        stepped = capture(pid, file);
        pressKey("space");
        waitForTitle([](const std::string& t) { return !t.empty() && t.find("paused") == std::string::npos; });
        playing1 = capture(pid, file);
        pause(0.5);
        playing2 = capture(pid, file);
    });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(differingPixels(held1, held2), 0) << "paused a second apart";
    EXPECT_GT(differingPixels(held2, stepped), 0) << "one frame on";
    EXPECT_NE(steppedTitle.find("| paused"), std::string::npos) << "a step stays paused: " << steppedTitle;
    EXPECT_GT(differingPixels(playing1, playing2), 0) << "playing again";
    fs::remove_all(folder);
}

TEST(AuthorLoop, WithoutOptionsEveryKeyButEscapeIsIgnored) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    const fs::path folder = filmCopy("plain");
    const fs::path file = folder / "shown.png";
    test::Picture first, second;
    const test::ProcessResult r = playWhile({"author_loop.xmo"}, folder, file, [&](int pid) {
        for (const char* key : {"space", "r"}) pressKey(key);
        first = capture(pid, file);
        pause(0.5);
        second = capture(pid, file);
    });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string loading = "Loading music file...";
    EXPECT_EQ(r.out.find(loading), r.out.rfind(loading)) << "R restarted the player: " << r.out;
    EXPECT_GT(differingPixels(first, second), 0) << "Space paused the film";
    fs::remove_all(folder);
}

TEST(AuthorLoop, ASavedFilmReloadsAtTheSameFilmTimeAndABrokenOneIsReported) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    const fs::path folder = filmCopy("watch");
    const fs::path film = folder / "author_loop.xmo";
    const fs::path file = folder / "shown.png";
    test::Picture before, recoloured, afterBroken, fixed;
    const test::ProcessResult r =
        playWhile({"-w", "--watch", "--start", "1.2", "--paused", "author_loop.xmo"}, folder, file, [&](int pid) {
            before = capture(pid, file);
            save(film, filmWithRedBrickAs("3"), true);  // blue
            for (int i = 0; i < 30 && !(recoloured.width && isBlue(recoloured.at(400, 300))); ++i)
                recoloured = capture(pid, file);
            save(film, "<?xml version=\"1.0\"?>\n<Movie>\n <Sequence duration=\"2\">\n</Movie>\n", false);
            pause(2.0);
            afterBroken = capture(pid, file);
            save(film, filmWithRedBrickAs("5"), false);  // light green, saved in place
            for (int i = 0; i < 30 && !(fixed.width && isGreen(fixed.at(400, 300))); ++i) fixed = capture(pid, file);
        });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(before.width, 800);
    EXPECT_TRUE(isRed(before.at(400, 300)));
    ASSERT_EQ(recoloured.width, 800);
    EXPECT_TRUE(isBlue(recoloured.at(400, 300)));
    EXPECT_EQ(differingPixels(afterBroken, recoloured), 0) << "the old film stays";
    EXPECT_NE(r.err.find("author_loop.xmo:4:"), std::string::npos) << "the loader's FILE:LINE: " << r.err;
    ASSERT_EQ(fixed.width, 800);
    EXPECT_TRUE(isGreen(fixed.at(400, 300))) << "the next save reloads again";

    // The same film time: the reloaded picture is the blue film's own frame at 1.2 s.
    save(film, filmWithRedBrickAs("3"), false);
    const std::vector<test::Picture> frames = rendered(folder, "author_loop.xmo", "1.2", {30});
    EXPECT_LE(differingPixels(recoloured, frames[0]), kSameFrame);
    fs::remove_all(folder);
}

// The window as it shows, the player's overlays included.
test::Picture screenshot(const fs::path& file) {
    fs::remove(file);
    // Without a window id (the player starting again) import would wait for
    // a window to be picked by hand.
    const std::string command = "w=$(xdotool search --class xmoplay | head -n 1); [ -n \"$w\" ] && timeout 10 import "
                                "-window \"$w\" '" +
                                file.string() + "' >/dev/null 2>&1";
    std::system(command.c_str());
    return fs::exists(file) ? test::readPng(file.string()) : test::Picture{};
}

// A click at window pixel (x, y).
void clickAt(int x, int y) {
    const std::string command = "xdotool search --class xmoplay mousemove --window %1 " + std::to_string(x) + " " +
                                std::to_string(y) + " click 1 >/dev/null 2>&1";
    std::system(command.c_str());
}

// Pixels that differ within the window's top rows, where the problems show.
int differingAtTop(const test::Picture& a, const test::Picture& b) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height + 1;
    int count = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < a.width; ++x) {
            const auto p = a.at(x, y), q = b.at(x, y);
            if (p.r != q.r || p.g != q.g || p.b != q.b) ++count;
        }
    return count;
}

TEST(AuthorLoop, SeeksByKeyAndTimeBarLandOnTheFramesXmotoolRendersAndAStillKeepsOne) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    const fs::path folder = filmCopy("timeline");
    const fs::path file = folder / "shown.png";
    // At 25 frames per second the film's 5 s end on frame 125; its second
    // sequence begins on frame 51 (2 s itself belongs to the first).
    const struct {
        const char* keys;  // xdotool key names, or "bar" for a click at 3/4 of the time bar
        int frame;         // where the paused film then stands
    } steps[] = {
        {"Left", 74},  {"shift+Left", 0}, {"End", 125}, {"Prior", 51}, {"Right", 52},
        {"Home", 0},   {"Next", 51},      {"bar", 94},  {"Left", 93},
    };
    std::vector<test::Picture> shown;
    bool stillWritten = false;
    const test::ProcessResult r = playWhile({"-w", "--start", "3", "--paused", "author_loop.xmo"}, folder, file,
                                            [&](int pid) {
                                                for (const auto& step : steps) {
                                                    if (std::string(step.keys) == "bar")
                                                        clickAt(10 + 780 * 3 / 4, 588);
                                                    else
                                                        pressKey(step.keys);
                                                    pause(0.5);
                                                    shown.push_back(capture(pid, file));
                                                }
                                                pressKey("s");
                                                for (int i = 0; i < 30 && !stillWritten; ++i) {
                                                    pause(0.1);
                                                    stillWritten = fs::exists(folder / "author_loop-00003.720.png");
                                                }
                                            });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string times;
    std::vector<int> frames;
    for (const auto& step : steps) {
        times += (times.empty() ? "" : ",") + std::to_string(step.frame / 25.0);
        frames.push_back(step.frame);
    }
    const std::vector<test::Picture> expected = rendered(folder, "author_loop.xmo", times, frames);
    ASSERT_EQ(shown.size(), std::size(steps));
    for (std::size_t i = 0; i < shown.size(); ++i)
        EXPECT_LE(differingPixels(shown[i], expected[i]), kSameFrame)
            << "after " << steps[i].keys << ": not frame " << steps[i].frame;
    ASSERT_TRUE(stillWritten) << "S writes author_loop-00003.720.png beside the film";
    EXPECT_LE(differingPixels(test::readPng((folder / "author_loop-00003.720.png").string()), expected.back()),
              kSameFrame);
    fs::remove_all(folder);
}

TEST(AuthorLoop, UnderWatchTheExitCommandPausesAndABrokenSaveShowsInTheWindowUntilAGoodOne) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    const fs::path folder = filmCopy("panel");
    fs::copy_file(fs::path(XMO_TEST_DATA) / "app" / "exit_command.xmo", folder / "exit_command.xmo");
    std::string pausedTitle;
    const test::ProcessResult ended = playWhile({"-w", "--watch", "exit_command.xmo"}, folder, folder / "shown.png",
                                                [&](int) {
                                                    pausedTitle = waitForTitle([](const std::string& t) {
                                                        return t.find("exit command") != std::string::npos;
                                                    });
                                                    pause(1.0);  // still there a second later
                                                });
    EXPECT_EQ(ended.exitCode, 0) << ended.err;
    EXPECT_FALSE(ended.timedOut);
    EXPECT_NE(pausedTitle.find("| paused"), std::string::npos) << pausedTitle;

    const fs::path film = folder / "author_loop.xmo";
    test::Picture before, broken, fixed;
    const test::ProcessResult r =
        playWhile({"-w", "--watch", "--start", "1.2", "--paused", "author_loop.xmo"}, folder, folder / "shown.png",
                  [&](int) {
                      before = screenshot(folder / "before.png");
                      save(film, "<?xml version=\"1.0\"?>\n<Movie>\n <Sequence duration=\"2\">\n</Movie>\n", false);
                      for (int i = 0; i < 30 && differingAtTop(broken, before) < 100; ++i) {
                          pause(0.2);
                          broken = screenshot(folder / "broken.png");
                      }
                      save(film, filmWithRedBrickAs("9"), false);
                      for (int i = 0; i < 30 && (i == 0 || differingAtTop(fixed, before) > 0); ++i) {
                          pause(0.3);
                          fixed = screenshot(folder / "fixed.png");
                      }
                  });
    EXPECT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(before.width, 800);
    EXPECT_GT(differingAtTop(broken, before), 100) << "the panel with the loader's message";
    EXPECT_EQ(differingAtTop(fixed, before), 0) << "the next good save takes the panel away";
    fs::remove_all(folder);
}

TEST(AuthorLoop, WithoutADisplayThePlayerRefusesAtOnceUnlessADriverWasChosen) {
    // glibc's putenv removes a variable given without "=".
    test::ProcessOptions none;
    none.env = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER", "ASAN_OPTIONS=detect_leaks=0"};
    none.timeoutSeconds = 10;
    const test::ProcessResult refused = test::runProcess({XMOPLAY_BIN, "app/still.xmo"}, none);
    EXPECT_FALSE(refused.timedOut);
    EXPECT_EQ(refused.exitCode, 1);
    const std::string message = "Unable to initialize SDL: no display (set DISPLAY, or use xmotool render)\n";
    ASSERT_GE(refused.err.size(), message.size());
    EXPECT_EQ(refused.err.substr(refused.err.size() - message.size()), message) << refused.err;
    EXPECT_EQ(refused.out, "");

    // Chosen on purpose, the invisible driver plays: this film ends itself.
    test::ProcessOptions chosen;
    chosen.env = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER=offscreen", "ASAN_OPTIONS=detect_leaks=0"};
    chosen.timeoutSeconds = 30;
    const test::ProcessResult played = test::runProcess({XMOPLAY_BIN, "app/exit_command.xmo"}, chosen);
    EXPECT_EQ(played.exitCode, 0) << played.err;
    EXPECT_EQ(played.out, ".\nLoading music file...\n");
}

TEST(AuthorLoop, CommandLinesThatEndBeforeAnyWindow) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* outStart;
        const char* errStart;
    };
    const Case cases[] = {
        {{"--help"}, 0, "usage: xmoplay [options] [movie.xmo]\n", ""},
        {{"--version"}, 0, "xmoplay ", ""},
        {{"--start"}, 2, "", "xmoplay: --start needs a value (see 'xmoplay --help')\n"},
        {{"--bogus", "app/still.xmo"}, 2, "", "xmoplay: unknown option '--bogus' (see 'xmoplay --help')\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{XMOPLAY_BIN};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const test::ProcessResult r = test::runProcess(argv);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0];
        EXPECT_EQ(r.out.rfind(c.outStart, 0), 0u) << r.out;
        if (*c.errStart) EXPECT_EQ(r.err, c.errStart);
        else EXPECT_EQ(r.err, "");
    }
}

}  // namespace
}  // namespace xmo
