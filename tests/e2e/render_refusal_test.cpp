// xmotool render of a film the player would refuse: the refusal, and no
// frames folder left behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

TEST(XmotoolRender, ARefusedFilmLeavesNoFramesFolder) {
    const fs::path out = fs::temp_directory_path() / ("xmo-refused-" + std::to_string(::getpid())) / "frames";
    const test::ProcessResult r = test::runProcess(
        {XMOTOOL_BIN, "render", "movie/broken.xmo", "--fps", "10", "--at", "1", "--out", out.string()});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("mismatched tag at line 4\n"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(out.parent_path()));
}

}  // namespace
}  // namespace xmo
