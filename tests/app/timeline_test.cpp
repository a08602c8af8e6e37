#include "app/timeline.h"

#include <gtest/gtest.h>

#include "movie/movie.h"

namespace xmo {
namespace {

std::vector<std::unique_ptr<Sequence>> sequencesOf(std::initializer_list<float> durations) {
    std::vector<std::unique_ptr<Sequence>> list;
    for (float d : durations) {
        list.push_back(std::make_unique<Sequence>());
        list.back()->duration = d;
    }
    return list;
}

struct Lookup {
    float filmTime;
    int sequence;
    float localTime;
};

void expectLookups(const std::vector<std::unique_ptr<Sequence>>& list, std::initializer_list<Lookup> cases) {
    for (const Lookup& c : cases) {
        const SequenceAt at = findSequence(list, c.filmTime);
        ASSERT_NE(at.sequence, nullptr);
        EXPECT_EQ(at.sequence, list[c.sequence].get()) << "t=" << c.filmTime;
        EXPECT_NEAR(at.localTime, c.localTime, 1e-5f) << "t=" << c.filmTime;
    }
}

TEST(FindSequence, BoundariesGoToTheEarlierSequenceAndTheLastRunsOn) {
    expectLookups(sequencesOf({5, 3}), {
                                           {0.0f, 0, 0.0f},
                                           {5.0f, 0, 5.0f},
                                           {5.001f, 1, 0.001f},
                                           {8.0f, 1, 3.0f},
                                           {9.5f, 1, 1.5f},  // past the end: from the end of the film
                                           {20.0f, 1, 12.0f},
                                       });
    expectLookups(sequencesOf({10}), {{12.0f, 0, 2.0f}});
}

TEST(FindSequence, ZeroDurations) {
    // A zero-length sequence after another is never current.
    expectLookups(sequencesOf({2, 0, 3}), {{2.0f, 0, 2.0f}, {2.5f, 2, 0.5f}});
    // A zero-length first sequence is current at film time 0 only.
    expectLookups(sequencesOf({0, 4}), {{0.0f, 0, 0.0f}, {0.001f, 1, 0.001f}});
}

TEST(FindSequence, EmptyListFindsNothing) { EXPECT_EQ(findSequence({}, 1.0f).sequence, nullptr); }

}  // namespace
}  // namespace xmo
