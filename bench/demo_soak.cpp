// An hour of playback: the demo rendered offscreen on the fixed-step clock for
// 90,000 frames (an hour at 25 fps), its last sequence played over and over
// once the film has reached its end, the film's exit command ignored. Resident
// memory is sampled every 1,000 frames and at the end of the first minute;
// the run fails when memory later grows more than 5% past that first-minute
// figure.
//
// usage: demo_soak [MOVIE [FRAMES]]   (default: the bundled demo, 90000)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "app/gl_setup.h"
#include "app/offscreen_context.h"
#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/render_options.h"
#include "app/timeline.h"
#include "movie/movie.h"
#include "movie/movie_loader.h"

namespace {

constexpr int kFps = 25;
constexpr long kHour = 3600L * kFps;
constexpr long kSampleEvery = 1000;
constexpr long kFirstMinute = 60L * kFps;
constexpr double kAllowedGrowth = 0.05;

// Resident memory in kB from /proc/self/status; -1 when it cannot be read.
long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = -1;
    while (status >> key) {
        if (key == "VmRSS:") {
            status >> value;
            return value;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

// Keeps the film in its last sequence once it has played to the end: before
// a frame whose film time would pass the end, the clock's origin moves on by
// the sequence's length, so film time steps back by one sequence while the
// frame time stays one step (physics and particles go on as in playback).
// The sequence's commands start over, to run again as on its first pass.
void loopLastSequence(xmo::Player& player, std::uint32_t nextTicks) {
    const auto& sequences = player.currentMovie->sequences;
    xmo::Sequence& last = *sequences.back();
    const auto lengthMs = static_cast<std::int32_t>(std::lround(last.duration * 1000.0));
    xmo::MovieClock& clock = player.movieClock;
    const auto nextMs = static_cast<std::int32_t>(nextTicks - static_cast<std::uint32_t>(clock.startTicks));
    if (lengthMs <= 0 || xmo::MovieClock::seconds(nextMs) <= xmo::filmEnd(sequences)) return;
    clock.startTicks += lengthMs;
    clock.currentMs -= lengthMs;
    for (auto& command : last.xfunctions) {
        command->lastTime = 0.0f;
        command->done = false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    const fs::path movie = fs::absolute(argc > 1 ? argv[1] : XMO_DEMO_MOVIE);
    const long frames = argc > 2 ? std::atol(argv[2]) : kHour;
    if (argc > 3 || frames <= kFirstMinute) {
        std::cerr << "usage: demo_soak [MOVIE [FRAMES]]  (FRAMES more than " << kFirstMinute << ")\n";
        return 2;
    }

    xmo::OffscreenContext context;
    std::string error;
    if (!context.open(xmo::kScreenWidth, xmo::kScreenHeight, 1, error)) {
        std::cerr << "demo_soak: " << error << "\n";
        return 1;
    }
    long frame = 0;
    // The film's own lines are not kept: a stream that grew would be the leak.
    std::ostream discard(nullptr);
    xmo::Player player([&frame] { return xmo::frameTicks(frame, kFps); }, discard, std::cerr);
    player.sound.keepSilent();
    xmo::PlayerMediaLoader media(std::cerr);
    fs::current_path(movie.parent_path());  // the film names its files relative to its folder
    try {
        if (!xmo::startPlayer(player, movie.filename().string(), media)) return 1;
    } catch (const xmo::LoadError& e) {
        std::cerr << xmo::describeLoadError(e) << "\n";
        return 3;
    }

    std::printf("%s: %ld frames at %d fps, film %.1f s, then its last sequence (%.1f s) over and over\n",
                movie.filename().c_str(), frames, kFps, xmo::filmEnd(player.currentMovie->sequences),
                player.currentMovie->sequences.back()->duration);
    std::printf("%8s %10s %10s\n", "frame", "VmRSS kB", "vs 1 min");
    long firstMinuteKb = -1, highestKb = -1;
    const auto start = std::chrono::steady_clock::now();
    for (; frame < frames; ++frame) {
        xmo::renderFrame(player);
        player.quitCode = 0;
        loopLastSequence(player, xmo::frameTicks(frame + 1, kFps));
        const long done = frame + 1;
        if (done == kFirstMinute || done % kSampleEvery == 0 || done == frames) {
            const long kb = residentKb();
            if (done == kFirstMinute) firstMinuteKb = kb;
            if (done > kFirstMinute) highestKb = std::max(highestKb, kb);
            if (firstMinuteKb > 0)
                std::printf("%8ld %10ld %+9.2f%%\n", done, kb, 100.0 * (kb - firstMinuteKb) / firstMinuteKb);
            else
                std::printf("%8ld %10ld %10s\n", done, kb, "");
            std::fflush(stdout);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    xmo::stopPlayer(player);

    if (firstMinuteKb <= 0) {
        std::cerr << "demo_soak: resident memory cannot be read from /proc/self/status\n";
        return 1;
    }
    const double growth = static_cast<double>(highestKb - firstMinuteKb) / firstMinuteKb;
    std::printf("%ld frames in %.0f s (%.1f fps); after the first minute: %ld kB, highest later %ld kB (%+.2f%%, "
                "limit +%.0f%%)\n",
                frames, seconds, frames / seconds, firstMinuteKb, highestKb, 100.0 * growth, 100.0 * kAllowedGrowth);
    if (growth > kAllowedGrowth) {
        std::printf("FAILED: memory grew\n");
        return 1;
    }
    return 0;
}
