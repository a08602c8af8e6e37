// The player binary end to end: how it ends and what it reports.
#include <signal.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/process.h"

namespace xmo {
namespace {

bool haveDisplay() { return std::getenv("DISPLAY") != nullptr; }

test::ProcessResult play(const std::string& movie, test::ProcessOptions options = {}) {
    // The window-system libraries that SDL loads at run time keep a few
    // allocations and are unloaded again before a sanitizer build's leak
    // check, which then cannot name them to suppress them. The player's own
    // code is leak-checked by the unit tests, the fuzzers and xmotool runs.
    options.env.push_back("ASAN_OPTIONS=detect_leaks=0");
    return test::runProcess({XMOPLAY_BIN, movie}, options);
}

TEST(PlayerExit, EscapeEndsAFilmWithSuccess) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    test::ProcessOptions options;
    options.timeoutSeconds = 20;
    // Keep pressing Escape once the window had time to appear: the player
    // must react to the first press that reaches it.
    options.whileRunning = [](int, double elapsed) {
        if (elapsed > 1.0) std::system("xdotool key Escape >/dev/null 2>&1");
    };
    const test::ProcessResult r = play("app/still.xmo", options);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, ".\nLoading music file...\n");
}

TEST(PlayerExit, AQuitRequestEndsAFilmWithSuccess) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    // SDL turns a termination request into the same quit event as closing
    // the window.
    test::ProcessOptions options;
    options.timeoutSeconds = 20;
    bool sent = false;
    options.whileRunning = [&sent](int pid, double elapsed) {
        if (elapsed > 1.5 && !sent) sent = kill(pid, SIGTERM) == 0;
    };
    const test::ProcessResult r = play("app/still.xmo", options);
    EXPECT_TRUE(sent);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

TEST(PlayerExit, TheFilmsExitCommandEndsItWithSuccess) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    test::ProcessOptions options;
    options.timeoutSeconds = 20;
    const test::ProcessResult r = play("app/exit_command.xmo", options);
    EXPECT_FALSE(r.timedOut);
    EXPECT_EQ(r.exitCode, 0) << r.err;
}

struct RefusedFilm {
    const char* movie;
    const char* stderrStart;  // what the message begins with
    const char* stdoutText;
};

TEST(PlayerExit, FilmsThatCannotBeUsedEndWithCodeThree) {
    if (!haveDisplay()) GTEST_SKIP() << "needs a display";
    const RefusedFilm cases[] = {
        // expat's own words, then the line of the file where it stopped
        {"app/malformed.xmo", "mismatched tag at line 5\n", "."},
        {"app/no-such-film.xmo", "app/no-such-film.xmo: cannot open the movie file: No such file or directory", "."},
        {"app/missing_scene.xmo", "app/missing_scene.xmo:4: Object 1: app/no-such-scene.x3d: cannot open the scene file",
         ".Error in loading file app/no-such-scene.x3d\n"},
        {"/dev/zero", "/dev/zero: not a regular file\n", "."},
    };
    for (const RefusedFilm& c : cases) {
        const test::ProcessResult r = play(c.movie);
        EXPECT_EQ(r.exitCode, 3) << c.movie << ": " << r.err;
        EXPECT_EQ(r.err.rfind(c.stderrStart, 0), 0u) << c.movie << ": " << r.err;
        EXPECT_EQ(r.out, c.stdoutText) << c.movie;
    }
}

TEST(PlayerExit, SdlThatCannotStartGivesItsMessageAndCodeOne) {
    test::ProcessOptions options;
    options.env = {"SDL_VIDEODRIVER=none-such"};
    const test::ProcessResult r = play("app/still.xmo", options);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("Unable to initialize SDL: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.back(), '\n');
}

}  // namespace
}  // namespace xmo
