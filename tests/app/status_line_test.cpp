#include "app/status_line.h"

#include <gtest/gtest.h>

#include "movie/movie.h"

namespace xmo {
namespace {

TEST(StatusLine, NamesTheSequenceAndBothTimes) {
    std::vector<std::unique_ptr<Sequence>> film;
    for (float d : {2.0f, 3.0f}) {
        film.push_back(std::make_unique<Sequence>());
        film.back()->duration = d;
    }
    struct Case {
        float t;
        bool paused;
        const char* line;
    };
    const Case cases[] = {
        {0.0f, false, "film.xmo | sequence 1 of 2 | 0.00 s (local 0.00 s)"},
        {1.2f, true, "film.xmo | sequence 1 of 2 | 1.20 s (local 1.20 s) | paused"},
        {2.0f, false, "film.xmo | sequence 1 of 2 | 2.00 s (local 2.00 s)"},  // the boundary is the earlier one's
        {2.5f, false, "film.xmo | sequence 2 of 2 | 2.50 s (local 0.50 s)"},
        {6.0f, false, "film.xmo | sequence 2 of 2 | 6.00 s (local 1.00 s)"},  // past the end: local from the end
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatStatusLine(describePlayback("films/film.xmo", film, c.t, c.paused)), c.line) << c.t;
}

TEST(StatusLine, LoadingSeekProgressAndStillNames) {
    EXPECT_EQ(formatLoadingLine("a/film.xmo"), "film.xmo | loading");
    EXPECT_EQ(formatSeekLine("a/film.xmo", 10000, 40000), "film.xmo | reaching 40.00 s: 25%");
    EXPECT_EQ(formatSeekLine("film.xmo", 0, 0), "film.xmo | reaching 0.00 s: 100%");
    EXPECT_EQ(stillPath("films/film.xmo", 12480), "films/film-00012.480.png");
    EXPECT_EQ(stillPath("film.xmo", 7), "film-00000.007.png");
    EXPECT_EQ(stillPath("a.b/take.2.xmo", 100000000), "a.b/take.2-100000.000.png");
}

}  // namespace
}  // namespace xmo
