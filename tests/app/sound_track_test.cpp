#include "app/sound_track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/render_options.h"
#include "movie/movie.h"

namespace xmo {
namespace {

// Frames a run renders at a film time strictly past the start time; the first
// frame's film time is 0, so a start time of 0 is first due one frame later.
TEST(SoundTrack, SoundsStartInTheFirstFrameStrictlyPastTheirStartTime) {
    const struct {
        float starttime;
        int fps;
        std::optional<long> frame;
    } cases[] = {
        {0.0f, 25, 1},      {-3.0f, 25, 0},     {1.0f, 25, 26},  {0.999f, 30, 30}, {1.0f, 30, 31},
        {2.5f, 7, 18},      {39999.0f, 25, 999976},
        {std::numeric_limits<float>::quiet_NaN(), 25, std::nullopt},
        {1e9f, 25, std::nullopt},  // later than any frame a run can render
    };
    for (const auto& c : cases) {
        Sound sound;
        sound.starttime = c.starttime;
        EXPECT_EQ(soundStartFrame(sound, c.fps), c.frame) << c.starttime << " s at " << c.fps << " fps";
        if (c.frame && *c.frame > 0) {
            EXPECT_LE(frameFilmTime(*c.frame - 1, c.fps), c.starttime);
            EXPECT_GT(frameFilmTime(*c.frame, c.fps), c.starttime);
        }
    }
    EXPECT_EQ(frameSample(26, 25), 45864);  // 1.04 s
    EXPECT_EQ(frameSample(31, 30), 45570);
    EXPECT_EQ(frameSample(1, 7), 6300);
}

std::vector<std::int16_t> mix(const std::vector<SoundClip>& clips, long long first, std::size_t count) {
    std::vector<std::int16_t> out(2 * count, 12345);
    mixSoundTrack(clips, first, count, out.data());
    return out;
}

TEST(SoundTrack, ClipsAreAddedAtTheirPlacesAndClippedTo16Bits) {
    const std::vector<std::int16_t> mono = {1000, -2000, 30000, -30000};
    const std::vector<std::int16_t> stereo = {1, -1, 2, -2, 30000, -30000};
    const struct {
        const char* what;
        std::vector<SoundClip> clips;
        long long first;
        std::vector<std::int16_t> expected;  // interleaved left, right
    } cases[] = {
        {"mono on both sides, silence around it",
         {{mono.data(), 4, 1, 1}},
         0,
         {0, 0, 1000, 1000, -2000, -2000, 30000, 30000, -30000, -30000, 0, 0}},
        {"stereo keeps its sides; overlapping sums clip",
         {{mono.data(), 4, 1, 0}, {stereo.data(), 3, 2, 1}},
         0,
         {1000, 1000, -1999, -2001, 30002, 29998, 0, -32768, 0, 0, 0, 0}},
        {"begun before the track: only its rest is heard",
         {{mono.data(), 4, 1, -2}},
         0,
         {30000, 30000, -30000, -30000, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"a window in the middle of the track",
         {{mono.data(), 4, 1, 10}},
         11,
         {-2000, -2000, 30000, 30000, -30000, -30000, 0, 0, 0, 0, 0, 0}},
        {"two loud clips clip at both ends",
         {{mono.data(), 4, 1, 0}, {mono.data(), 4, 1, 0}},
         0,
         {2000, 2000, -4000, -4000, 32767, 32767, -32768, -32768, 0, 0, 0, 0}},
        {"nothing in the window", {{mono.data(), 4, 1, 6}}, 0, std::vector<std::int16_t>(12, 0)},
    };
    for (const auto& c : cases) EXPECT_EQ(mix(c.clips, c.first, 6), c.expected) << c.what;
}

TEST(SoundTrack, BlocksJoinIntoTheWholeTrack) {
    std::vector<std::int16_t> a(5000), b(3000);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<std::int16_t>(20000 * std::sin(i * 0.01));
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = static_cast<std::int16_t>(i * 37 % 65536 - 32768);
    const std::vector<SoundClip> clips = {{a.data(), a.size(), 1, -700}, {b.data(), b.size() / 2, 2, 1234}};
    const std::vector<std::int16_t> whole = mix(clips, 0, 6000);
    std::vector<std::int16_t> joined;
    for (std::size_t first = 0; first < 6000;) {
        const std::size_t count = std::min<std::size_t>(997, 6000 - first);
        const std::vector<std::int16_t> block = mix(clips, static_cast<long long>(first), count);
        joined.insert(joined.end(), block.begin(), block.end());
        first += count;
    }
    EXPECT_EQ(joined, whole);
}

}  // namespace
}  // namespace xmo
