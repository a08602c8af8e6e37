// The player's frame allocates nothing once the film is under way: the demo
// played in this process, every heap allocation counted by kind.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>
#include <vector>

#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/render_options.h"
#include "gl/allocation_count.h"
#include "support/gl_window.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

constexpr int kFps = 25;
// Long enough for every cache, scratch buffer and the driver's shader
// variants of the opening shots to reach their size.
constexpr long kWarmUpFrames = 2 * kFps;
constexpr long kCountedFrames = 500;

const std::string kDemoDir = std::string(XMO_SOURCE_DIR) + "/assets/demo";

TEST(FrameAllocations, NoneFromTheProgramOverFiveHundredFramesOfTheDemo) {
    test::countEngineAllocations();
    std::string error;
    if (!test::ensureGlWindow(&error)) GTEST_SKIP() << error;

    const fs::path testDir = fs::current_path();
    fs::current_path(kDemoDir);  // the film names its files relative to its folder
    long frame = 0;
    std::ostringstream console;
    Player player([&frame] { return frameTicks(frame, kFps); }, console, console);
    player.sound.keepSilent();
    PlayerMediaLoader media(console);
    const test::AllocationCounts beforeStart = test::allocationCounts();
    const bool started = startPlayer(player, "BrikBasics.xmo", media);
    fs::current_path(testDir);
    ASSERT_TRUE(started) << console.str();
    // Loading allocates plenty: a count that saw none there could see none later.
    ASSERT_GT((test::allocationCounts() - beforeStart).program, 0);

    for (; frame < kWarmUpFrames; ++frame) renderFrame(player);

    std::vector<long> allocatingFrames;
    allocatingFrames.reserve(kCountedFrames);  // the test's own list must not count
    const test::AllocationCounts before = test::allocationCounts();
    for (long end = frame + kCountedFrames; frame < end && player.quitCode == 0; ++frame) {
        const long ownBefore = test::allocationCounts().program;
        renderFrame(player);
        if (test::allocationCounts().program != ownBefore) allocatingFrames.push_back(frame);
    }
    const test::AllocationCounts counted = test::allocationCounts() - before;
    stopPlayer(player);

    ASSERT_EQ(frame, kWarmUpFrames + kCountedFrames) << "the film ended early";
    std::ostringstream frames;
    for (long f : allocatingFrames) frames << ' ' << f;
    EXPECT_EQ(counted.program, 0) << "the program allocated in frames" << frames.str();
    // The GL driver (C, and LLVM compiling a shader variant the first time a
    // state combination is drawn) and the rigid-body engine (growing its
    // contact storage) allocate as they see fit: recorded, not judged.
    RecordProperty("driver_cxx_allocations", static_cast<int>(counted.libraries));
    RecordProperty("driver_c_allocations", static_cast<int>(counted.cMalloc));
    RecordProperty("engine_allocations", static_cast<int>(counted.engine));
    std::cout << "allocations over " << kCountedFrames << " frames: the program " << counted.program
              << ", C++ libraries (LLVM) " << counted.libraries << ", the rigid-body engine " << counted.engine
              << ", C (the GL driver) " << counted.cMalloc << "\n";
}

}  // namespace
}  // namespace xmo
