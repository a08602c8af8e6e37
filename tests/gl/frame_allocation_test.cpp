// The player's frame allocates nothing once the film is under way: the whole
// demo played in this process, drawn and only advanced, every heap
// allocation counted by kind.
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
// The demo ends itself with its exit command at 74.9 s, in this frame.
constexpr long kLastDemoFrame = 1873;
// The lift-off (55 s on) trails particles that live 4 s: until the first of
// them have faded, each one spawned is a new one. Afterwards the faded ones
// are reused.
constexpr long kTrailStart = 55 * kFps;
constexpr long kTrailSettled = kTrailStart + 4 * kFps;

const std::string kDemoDir = std::string(XMO_SOURCE_DIR) + "/assets/demo";

TEST(FrameAllocations, NoneFromTheProgramAfterWarmUpButWhileAParticleTrailGrows) {
    test::countEngineAllocations();
    std::string error;
    if (!test::ensureGlWindow(&error)) GTEST_SKIP() << error;

    for (const bool drawn : {true, false}) {
        SCOPED_TRACE(drawn ? "frames drawn" : "frames only advanced");
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

        const auto playFrame = [&] {
            advanceFrame(player);
            if (drawn) drawFrame(player);
        };
        for (; frame < kWarmUpFrames; ++frame) playFrame();

        std::vector<long> allocatingFrames, unexpected;
        // The test's own lists must not count.
        allocatingFrames.reserve(kLastDemoFrame);
        unexpected.reserve(kLastDemoFrame);
        const test::AllocationCounts before = test::allocationCounts();
        for (; player.quitCode == 0 && frame <= kLastDemoFrame; ++frame) {
            const long ownBefore = test::allocationCounts().program;
            playFrame();
            if (test::allocationCounts().program == ownBefore) continue;
            allocatingFrames.push_back(frame);
            if (frame < kTrailStart || frame >= kTrailSettled) unexpected.push_back(frame);
        }
        const test::AllocationCounts counted = test::allocationCounts() - before;
        stopPlayer(player);

        ASSERT_EQ(frame, kLastDemoFrame + 1) << "the film's exit command ends it in its last frame";
        std::ostringstream frames;
        for (long f : unexpected) frames << ' ' << f;
        EXPECT_TRUE(unexpected.empty()) << "the program allocated in frames" << frames.str();
        // The trail itself: its particles are made as its number grows, so the
        // count cannot have missed them.
        EXPECT_FALSE(allocatingFrames.empty());
        if (!drawn) continue;
        // The GL driver (C, and LLVM compiling a shader variant the first time a
        // state combination is drawn) and the rigid-body engine (growing its
        // contact storage) allocate as they see fit: recorded, not judged.
        RecordProperty("driver_cxx_allocations", static_cast<int>(counted.libraries));
        RecordProperty("driver_c_allocations", static_cast<int>(counted.cMalloc));
        RecordProperty("engine_allocations", static_cast<int>(counted.engine));
        std::cout << "allocations over " << frame - kWarmUpFrames << " frames: the program " << counted.program
                  << ", C++ libraries (LLVM) " << counted.libraries << ", the rigid-body engine " << counted.engine
                  << ", C (the GL driver) " << counted.cMalloc << "\n";
    }
}

}  // namespace
}  // namespace xmo
