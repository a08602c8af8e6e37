// xmotool on a machine without a usable GL driver or display: check, dump
// and save work and load no driver, no window system, no SDL, no physics
// engine and none of the libraries that play music, print captions or make
// fonts; render, which is a program of its own, says why it cannot run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

class XmotoolWithoutGl : public ::testing::Test {
protected:
    void SetUp() override {
        scratch_ = fs::temp_directory_path() / ("xmo-nogl-" + std::to_string(::getpid()));
        fs::create_directories(scratch_ / "no-drivers");
        fs::create_directories(scratch_ / "loader-log");
    }
    void TearDown() override { fs::remove_all(scratch_); }

    test::ProcessOptions withoutDrivers() const {
        const std::string none = (scratch_ / "no-drivers").string();
        test::ProcessOptions options;
        // "DISPLAY" without a value removes the variable (glibc's putenv).
        options.env = {"LIBGL_DRIVERS_PATH=" + none, "__EGL_VENDOR_LIBRARY_DIRS=" + none, "DISPLAY"};
        return options;
    }

    // Every shared object the dynamic loader mapped, at start-up or later.
    std::string loaderLog() const {
        std::string log;
        for (const fs::directory_entry& e : fs::directory_iterator(scratch_ / "loader-log"))
            log += test::readFile(e.path().string());
        return log;
    }

    fs::path scratch_;
};

TEST_F(XmotoolWithoutGl, CheckDumpAndSaveLoadNoDriverNoWindowSystemNoSdlAndNoEngine) {
    const std::string saved = (scratch_ / "saved.xmo").string();
    const std::vector<std::vector<std::string>> commands = {
        {"check", "movie/basic.xmo"},
        {"dump", "movie/basic.xmo"},
        {"save", "movie/basic.xmo", saved},
    };
    const char* const unwanted[] = {"libLLVM", "libgallium", "_dri.so", "_mesa",      "libGLX",  "libEGL",
                                    "libSDL",  "libode",     "libfreetype", "libopenal", "libmpg123", "libplib"};
    for (const std::vector<std::string>& command : commands) {
        fs::remove_all(scratch_ / "loader-log");
        fs::create_directories(scratch_ / "loader-log");
        test::ProcessOptions options = withoutDrivers();
        options.env.push_back("LD_DEBUG=files");
        options.env.push_back("LD_DEBUG_OUTPUT=" + (scratch_ / "loader-log" / "ld").string());
        std::vector<std::string> argv{XMOTOOL_BIN};
        argv.insert(argv.end(), command.begin(), command.end());

        const test::ProcessResult r = test::runProcess(argv, options);
        EXPECT_EQ(r.exitCode, 0) << command[0] << ": " << r.err;
        const std::string log = loaderLog();
        EXPECT_NE(log.find("libexpat"), std::string::npos) << command[0] << ": no loader log";
        for (const char* name : unwanted)
            EXPECT_EQ(log.find(name), std::string::npos) << command[0] << " loaded " << name << ":\n" << log;
    }
    EXPECT_TRUE(fs::exists(saved));
}

TEST_F(XmotoolWithoutGl, RenderSaysWhyItCannotRun) {
    // A copy of xmotool alone in a folder has no xmotool-render beside it.
    const fs::path lonely = scratch_ / "xmotool";
    fs::copy_file(XMOTOOL_BIN, lonely);
    const std::string demo = std::string(XMO_SOURCE_DIR) + "/assets/demo/BrikBasics.xmo";
    const std::string out = (scratch_ / "frames").string();
    struct Case {
        std::string program;
        std::vector<std::string> args;
        int exitCode;
        std::string err;
    };
    const Case cases[] = {
        {XMOTOOL_BIN,
         {"render", demo, "--fps", "10", "--at", "1", "--out", out},
         1,
         "xmotool render: cannot create an offscreen GL context: no EGL driver offers Mesa's surfaceless platform\n"},
        {XMOTOOL_BIN,
         {"render", demo, "--fps", "10"},
         2,
         "xmotool render: expected MOVIE and one of --out DIR, --video FILE or --hash (see xmotool render --help)\n"},
        {lonely.string(),
         {"render", demo, "--fps", "10", "--at", "1", "--out", out},
         1,
         "xmotool render: cannot run " + (scratch_ / "xmotool-render").string() + ": No such file or directory\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv{c.program};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const test::ProcessResult r = test::runProcess(argv, withoutDrivers());
        EXPECT_EQ(r.exitCode, c.exitCode) << c.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(out)) << "the frames folder comes only after the film has loaded";
    }
}

}  // namespace
}  // namespace xmo
