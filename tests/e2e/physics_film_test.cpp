// Physical films through xmotool render: a dropped brick comes to rest on
// the ground plane and stays there, the same film renders to the same bytes
// every time, and values the simulation cannot use play through.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

class PhysicsFilm : public ::testing::Test {
protected:
    void SetUp() override { scratch_ = fs::temp_directory_path() / ("xmo-physics-" + std::to_string(::getpid())); }
    void TearDown() override { fs::remove_all(scratch_); }

    // Renders the film at 10 frames a second into a folder of its own.
    test::ProcessResult render(const std::string& film, const std::string& times, const std::string& folder) const {
        test::ProcessOptions options;
        options.timeoutSeconds = 300;
        return test::runProcess({XMOTOOL_BIN, "render", film, "--fps", "10", "--at", times, "--out",
                                 (scratch_ / folder).string()},
                                options);
    }
    std::string frame(const std::string& folder, int n) const {
        char name[32];
        std::snprintf(name, sizeof name, "frame-%06d.png", n);
        return (scratch_ / folder / name).string();
    }

    fs::path scratch_;
};

bool red(const test::Picture::Pixel& p) { return p.r > 60 && p.r > 3 * (p.g + p.b); }

TEST_F(PhysicsFilm, ADroppedBrickRestsOnThePlaneAndRendersTheSameEachTime) {
    for (const char* run : {"first", "second"}) {
        const test::ProcessResult r = render("app/falling_brick.xmo", "8,14", run);
        ASSERT_EQ(r.exitCode, 0) << r.err;
    }
    for (int n : {80, 140}) {
        const std::string bytes = test::readFile(frame("first", n));
        ASSERT_FALSE(bytes.empty()) << frame("first", n);
        EXPECT_TRUE(bytes == test::readFile(frame("second", n))) << "frame " << n << " differs between runs";
    }
    const test::Picture early = test::readPng(frame("first", 80));
    const test::Picture late = test::readPng(frame("first", 140));
    ASSERT_EQ(late.width, 800);
    EXPECT_TRUE(early.rgba == late.rgba) << "the brick still moves after 8 s";

    // The camera looks level from (0, 0.5, 8); with 60 degrees of view over
    // 600 rows, a point d units in front of it and y high shows on row
    // 300 + (0.5 - y) / d * 519.6. The brick's front face stands about 7
    // units away, so the plane under it shows near row 337.
    int lowestRed = -1;
    for (int y = 0; y < late.height; ++y)
        if (red(late.at(400, y))) lowestRed = y;
    EXPECT_NEAR(lowestRed, 337, 4) << "lowest red row under the centre";
    // The yellow brick whose collisiontype gives it no body stays where it
    // was placed, 1.5 high and 2.5 to the right.
    const auto yellow = late.at(566, 233);
    EXPECT_GT(yellow.r, 100);
    EXPECT_GT(yellow.g, 100);
    EXPECT_LT(yellow.b, yellow.g / 2);
}

// Sizes, masses and positions the simulation cannot take, and two thousand
// bricks dropped onto one spot: the film plays, nothing crashes or hangs.
TEST_F(PhysicsFilm, BadValuesAndACrowdedSpotPlayThrough) {
    fs::create_directories(scratch_);
    const std::string crowd = (scratch_ / "crowd.xmo").string();
    {
        std::ofstream film(crowd);
        film << "<Movie><Objects><BrikObject id='1' size='2 3 2'/></Objects><Models>";
        for (int i = 0; i < 2000; ++i)
            film << "<Model id='" << i << "' objectid='1' position='0 " << (i % 3) << " 0' physicalbased='true'"
                 << (i % 7 == 0 ? " mass='0' boxsize='0 0 0'" : " mass='1'") << "/>";
        film << "</Models><Sequence duration='5'><Camera><CameraElement duration='5'>"
                "<LookAt><Point position='0 0 0'/></LookAt><Eye><Point position='0 3 10'/></Eye>"
                "</CameraElement></Camera><XFunctions>"
                "<XFunction xfunctiontype='enablemodels' timer1='0' frommodelid='0' tomodelid='1999'/>"
                "</XFunctions></Sequence></Movie>";
    }
    for (const std::string& film : {std::string("movie/physics.xmo"), crowd}) {
        const test::ProcessResult r = render(film, "1,3", "frames");
        EXPECT_EQ(r.exitCode, 0) << film << ": " << r.err;
        EXPECT_FALSE(r.timedOut) << film;
    }
}

}  // namespace
}  // namespace xmo
