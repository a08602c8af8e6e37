#include "effects/tiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace xmo {
namespace {

// A width x height image whose pixel (x, y) has blue x, green y and red
// 200, with alpha 7, as the decoder stores it.
Image gradient(int width, int height) {
    Image image{width, height, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixels.insert(image.pixels.end(), {std::uint8_t(x), std::uint8_t(y), 200, 7});
    return image;
}

const std::uint8_t* texel(const TileTexels& t, int x, int y) {
    return t.rgba.data() + (static_cast<std::size_t>(y) * kTileTextureSize + x) * 4;
}

TEST(TileWindow, BothBoundsAreShown) {
    Tiles tile;
    tile.starttime = 2.0f;
    tile.endtime = 5.0f;
    for (float t : {2.0f, 3.5f, 5.0f}) EXPECT_TRUE(isTileActive(tile, t)) << t;
    for (float t : {1.99f, 5.01f, 0.0f}) EXPECT_FALSE(isTileActive(tile, t)) << t;
    const Tiles untimed;  // neither time given: only the very first instant
    EXPECT_TRUE(isTileActive(untimed, 0.0f));
    for (float t : {0.001f, -0.001f, 1.0f}) EXPECT_FALSE(isTileActive(untimed, t)) << t;
}

TEST(TileLayout, PixelsGoTopLeftAsRgbWithOpaqueAlpha) {
    const TileTexels t = layoutTileTexture(gradient(640, 480));
    ASSERT_EQ(t.rgba.size(), std::size_t(kTileTextureSize) * kTileTextureSize * 4);
    EXPECT_EQ(t.imageWidth, 640);
    EXPECT_EQ(t.imageHeight, 480);
    const struct { int x, y; } points[] = {{0, 0}, {5, 0}, {0, 3}, {250, 100}, {639, 479}};
    for (const auto& p : points) {
        const std::uint8_t* c = texel(t, p.x, p.y);
        EXPECT_EQ(c[0], 200) << p.x << "," << p.y;
        EXPECT_EQ(c[1], std::uint8_t(p.y)) << p.x << "," << p.y;
        EXPECT_EQ(c[2], std::uint8_t(p.x)) << p.x << "," << p.y;
        EXPECT_EQ(c[3], 255) << p.x << "," << p.y;
    }
    // Linear filtering reaches half a texel past the image, and across the
    // repeating wrap: those texels repeat the image's edges.
    const struct { int x, y, fromX, fromY; } edges[] = {
        {640, 0, 639, 0}, {640, 479, 639, 479}, {1023, 7, 0, 7}, {100, 480, 100, 479},
        {100, 1023, 100, 0}, {640, 480, 639, 479}, {1023, 1023, 0, 0}, {1023, 480, 0, 479},
    };
    for (const auto& e : edges)
        EXPECT_TRUE(std::equal(texel(t, e.x, e.y), texel(t, e.x, e.y) + 4, texel(t, e.fromX, e.fromY)))
            << e.x << "," << e.y;
    EXPECT_EQ(texel(t, 641, 0)[3], 0) << "the rest stays empty";
    Tiles tile;
    tile.imageWidth = t.imageWidth;
    tile.imageHeight = t.imageHeight;
    const TileTexCoords far = tileTexCoords(tile);
    EXPECT_EQ(far.s, 0.625f);
    EXPECT_EQ(far.t, 0.46875f);
}

TEST(TileLayout, LargeImagesAreScaledDownToFitKeepingTheirShape) {
    const struct {
        int width, height, fittedWidth, fittedHeight;
    } cases[] = {
        {1024, 1024, 1024, 1024}, {1, 1024, 1, 1024}, {2048, 1536, 1024, 768}, {1500, 3000, 512, 1024},
        {1025, 10, 1024, 10},     {5000, 1, 1024, 1}, {3, 70000, 1, 1024},
    };
    for (const auto& c : cases) {
        const TileSize s = fitTileSize(c.width, c.height);
        EXPECT_EQ(s.width, c.fittedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(s.height, c.fittedHeight) << c.width << "x" << c.height;
    }
    // Halving averages each two by two block.
    Image image{2048, 2, {}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2048; ++x)
            image.pixels.insert(image.pixels.end(), {std::uint8_t(x % 2 ? 255 : 0), 0, std::uint8_t(y ? 100 : 50), 0});
    const TileTexels t = layoutTileTexture(image);
    ASSERT_EQ(t.imageWidth, 1024);
    ASSERT_EQ(t.imageHeight, 1);
    for (int x : {0, 511, 1023}) {
        EXPECT_EQ(texel(t, x, 0)[0], 75) << x;
        EXPECT_EQ(texel(t, x, 0)[2], 127) << x;
    }
}

TEST(TileLayout, ImagesWithNothingToShowGiveNothing) {
    const std::vector<std::uint8_t> pixels = gradient(4, 4).pixels;
    const Image cases[] = {
        {0, 0, pixels},
        {4, 0, pixels},
        {-4, -4, pixels},
        {4, 4, {}},
        {4, 4, std::vector<std::uint8_t>(pixels.begin(), pixels.end() - 1)},
        {65536, 65536, pixels},
    };
    for (const auto& image : cases) {
        const TileTexels t = layoutTileTexture(image);
        EXPECT_TRUE(t.rgba.empty()) << image.width << "x" << image.height << " in " << image.pixels.size();
        EXPECT_EQ(t.imageWidth, 0);
    }
}

}  // namespace
}  // namespace xmo
