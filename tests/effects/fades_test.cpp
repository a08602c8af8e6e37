#include "effects/fades.h"

#include <gtest/gtest.h>

#include "movie/movie.h"

namespace xmo {
namespace {

SpecialEffect fade(const char* type, float start, float end) {
    SpecialEffect e;
    e.type = type;
    e.fadeType = fadeTypeOf(type);
    e.starttime = start;
    e.endtime = end;
    return e;
}

TEST(FadeColour, TableAtAQuarter) {
    const struct {
        const char* type;
        float grey, alpha;
    } cases[] = {
        {"blackfadeout", 0.0f, 0.25f}, {"blackfadein", 0.0f, 0.75f}, {"whitefadeout", 0.25f, 0.25f},
        {"whitefadein", 0.75f, 0.75f}, {"stayblack", 0.0f, 1.0f},
    };
    for (const auto& c : cases) {
        const auto colour = fadeColour(fade(c.type, 2.0f, 6.0f), 3.0f);
        ASSERT_TRUE(colour) << c.type;
        EXPECT_FLOAT_EQ(colour->grey, c.grey) << c.type;
        EXPECT_FLOAT_EQ(colour->alpha, c.alpha) << c.type;
    }
}

TEST(FadeColour, OnlyStrictlyInsideItsInterval) {
    const SpecialEffect f = fade("stayblack", 2.0f, 4.0f);
    EXPECT_FALSE(fadeColour(f, 2.0f));
    EXPECT_FALSE(fadeColour(f, 4.0f));
    EXPECT_FALSE(fadeColour(f, 1.0f));
    EXPECT_FALSE(fadeColour(f, 5.0f));
    EXPECT_TRUE(fadeColour(f, 2.001f));
    EXPECT_TRUE(fadeColour(f, 3.999f));
    EXPECT_FALSE(fadeColour(fade("stayblack", 3.0f, 3.0f), 3.0f));
}

TEST(FadeColour, UnknownTypesHaveNoColour) {
    for (const char* type : {"", "BlackFadeOut", "blackfade", "stayblack "})
        EXPECT_FALSE(fadeColour(fade(type, 0.0f, 10.0f), 5.0f)) << '"' << type << '"';
}

}  // namespace
}  // namespace xmo
