// The bundled demo film, rendered at fixed times: each frame shows what the
// film should show there.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

class DemoFilm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        out_ = (fs::temp_directory_path() / ("xmo-demo-" + std::to_string(::getpid()))).string();
        test::ProcessOptions options;
        options.workingDir = std::string(XMO_SOURCE_DIR) + "/assets/demo";
        options.timeoutSeconds = 300;
        // 24 s: the wall stands, seen from the front before the throw;
        // 74.7 s: inside the closing "stayblack", before the exit command.
        result_ = test::runProcess({XMOTOOL_BIN, "render", "BrikBasics.xmo", "--fps", "10", "--at", "24,74.7",
                                    "--out", out_},
                                   options);
    }
    static void TearDownTestSuite() { fs::remove_all(out_); }

    static test::Picture frame(int n) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%06d.png", n);
        return test::readPng(out_ + name);
    }

    static std::string out_;
    static test::ProcessResult result_;
};

std::string DemoFilm::out_;
test::ProcessResult DemoFilm::result_;

TEST_F(DemoFilm, LoadsWithoutProblemsAndRenders) {
    EXPECT_EQ(result_.exitCode, 0) << result_.err;
    const test::ProcessResult check =
        test::runProcess({XMOTOOL_BIN, "check", std::string(XMO_SOURCE_DIR) + "/assets/demo/BrikBasics.xmo"},
                         {{}, std::string(XMO_SOURCE_DIR) + "/assets/demo", 60, {}});
    EXPECT_EQ(check.exitCode, 0) << check.out;
    EXPECT_EQ(check.out, std::string(XMO_SOURCE_DIR) + "/assets/demo/BrikBasics.xmo: 0 problems, playable\n")
        << "no warnings either";
}

TEST_F(DemoFilm, TheCameraLooksAtARedBrickOfTheWall) {
    const test::Picture p = frame(240);
    ASSERT_EQ(p.width, 800);
    const auto centre = p.at(400, 300);
    EXPECT_GT(centre.r, 200);
    EXPECT_LT(centre.g, 40);
    EXPECT_LT(centre.b, 40);
    const auto corner = p.at(5, 5);
    EXPECT_GT(corner.b, corner.r + 30) << "the sky backdrop fills the top corner";
}

TEST_F(DemoFilm, StayBlackCoversEverything) {
    const test::Picture p = frame(747);
    ASSERT_EQ(p.width, 800);
    int lit = 0;
    for (int y = 0; y < p.height; y += 3)
        for (int x = 0; x < p.width; x += 3) {
            const auto px = p.at(x, y);
            if (px.r + px.g + px.b > 0) ++lit;
        }
    EXPECT_EQ(lit, 0);
}

}  // namespace
}  // namespace xmo
