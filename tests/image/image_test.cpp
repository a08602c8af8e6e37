#include "image/image.h"

#include <gtest/gtest.h>

namespace xmo {
namespace {

// A one-row or one-column image whose pixels all have the same four bytes.
Image greyImage(int width, int height, const std::vector<std::uint8_t>& levels) {
    Image image;
    image.width = width;
    image.height = height;
    for (std::uint8_t level : levels) image.pixels.insert(image.pixels.end(), {level, level, level, level});
    return image;
}

TEST(Image, ScalingDownAveragesTheSourcePixelsThatFallOnEachTarget) {
    struct Case {
        const char* name;
        Image source;
        int maxSide;
        int width, height;
        std::vector<std::uint8_t> levels;
    };
    const Case cases[] = {
        {"halved", greyImage(4, 1, {0, 100, 200, 255}), 2, 2, 1, {50, 228}},
        {"uneven: sources 0 and 1, then 2", greyImage(3, 1, {10, 20, 90}), 2, 2, 1, {15, 90}},
        {"columns", greyImage(1, 4, {0, 0, 40, 60}), 1, 1, 1, {25}},
        {"fits already", greyImage(2, 1, {7, 9}), 2, 2, 1, {7, 9}},
    };
    for (const Case& c : cases) {
        const Image scaled = scaleImageToFit(c.source, c.maxSide);
        EXPECT_EQ(scaled.width, c.width) << c.name;
        EXPECT_EQ(scaled.height, c.height) << c.name;
        ASSERT_EQ(scaled.pixels.size(), c.levels.size() * 4) << c.name;
        for (std::size_t i = 0; i < c.levels.size(); ++i)
            for (int b = 0; b < 4; ++b) EXPECT_EQ(scaled.pixels[i * 4 + b], c.levels[i]) << c.name << " pixel " << i;
    }

    Image wide;
    wide.width = 10;
    wide.height = 3;
    wide.pixels.assign(pixelBytes(wide), 0);
    wide.pixels[(1 * 10 + 9) * 4 + 2] = 250;  // red at the right end of the middle row
    const Image fitted = scaleImageToFit(wide, 5);
    EXPECT_EQ(fitted.width, 5) << "each side is fitted on its own";
    EXPECT_EQ(fitted.height, 3);
    EXPECT_EQ(fitted.pixels[(1 * 5 + 4) * 4 + 2], 125);
}

}  // namespace
}  // namespace xmo
