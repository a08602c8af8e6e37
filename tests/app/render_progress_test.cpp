#include "app/render_progress.h"

#include <gtest/gtest.h>

namespace xmo {
namespace {

TEST(RenderProgress, LinesAndDurations) {
    const struct {
        long done, total;
        double elapsed;
        const char* line;
    } cases[] = {
        {0, 1100, 0.0, "frame 0/1100  0.0 fps  --:-- left"},
        {100, 1100, 4.0, "frame 100/1100  25.0 fps  0:40 left"},
        {10, 40000, 2.0, "frame 10/40000  5.0 fps  2:13:18 left"},
        {1100, 1100, 50.0, "frame 1100/1100  22.0 fps  0:00 left"},
    };
    for (const auto& c : cases) EXPECT_EQ(progressLine(c.done, c.total, c.elapsed), c.line);
    EXPECT_EQ(durationText(59.6), "1:00");
    EXPECT_EQ(durationText(3599.4), "59:59");
    EXPECT_EQ(durationText(-1.0), "0:00");
}

}  // namespace
}  // namespace xmo
