#include "effects/tiles.h"

#include <algorithm>
#include <cstdint>

namespace xmo {

namespace {

constexpr std::size_t kBytesPerPixel = 4;

// Source pixels [first, last) that destination pixel i of n covers out of size.
struct Span {
    std::int64_t first, last;
};
Span coveredSpan(std::int64_t i, std::int64_t n, std::int64_t size) {
    const std::int64_t first = i * size / n;
    return {first, std::max(first + 1, (i + 1) * size / n)};
}

std::uint8_t* texelAt(std::vector<std::uint8_t>& rgba, int column, int row) {
    return rgba.data() + (static_cast<std::size_t>(row) * kTileTextureSize + column) * kBytesPerPixel;
}

// Linear filtering with a repeating wrap reads half a texel beyond each edge
// of the image: past its last row and column, and (wrapping) the texture's
// last row and column beside its first ones. Where those texels are not the
// image's own, they repeat its edges, so that a small image stretched over
// the screen keeps its border colours instead of fading into unused texels.
void repeatImageEdges(std::vector<std::uint8_t>& rgba, int width, int height) {
    const int last = kTileTextureSize - 1;
    if (width < kTileTextureSize) {
        for (int row = 0; row < height; ++row) {
            if (width < last) std::copy_n(texelAt(rgba, 0, row), kBytesPerPixel, texelAt(rgba, last, row));
            std::copy_n(texelAt(rgba, width - 1, row), kBytesPerPixel, texelAt(rgba, width, row));
        }
    }
    if (height < kTileTextureSize) {
        const std::size_t rowBytes = static_cast<std::size_t>(kTileTextureSize) * kBytesPerPixel;
        if (height < last) std::copy_n(texelAt(rgba, 0, 0), rowBytes, texelAt(rgba, 0, last));
        std::copy_n(texelAt(rgba, 0, height - 1), rowBytes, texelAt(rgba, 0, height));
    }
}

}  // namespace

TileSize fitTileSize(int width, int height) {
    if (width <= kTileTextureSize && height <= kTileTextureSize) return {width, height};
    const std::int64_t w = width, h = height, side = kTileTextureSize;
    // Rounded to the nearest pixel in integers, so the result is exact.
    if (w >= h) return {kTileTextureSize, static_cast<int>(std::max<std::int64_t>(1, (h * side + w / 2) / w))};
    return {static_cast<int>(std::max<std::int64_t>(1, (w * side + h / 2) / h)), kTileTextureSize};
}

TileTexels layoutTileTexture(const Image& image) {
    TileTexels out;
    if (image.empty() || image.pixels.size() < pixelBytes(image)) return out;

    const TileSize fitted = fitTileSize(image.width, image.height);
    out.imageWidth = fitted.width;
    out.imageHeight = fitted.height;
    out.rgba.assign(static_cast<std::size_t>(kTileTextureSize) * kTileTextureSize * kBytesPerPixel, 0);
    for (int row = 0; row < fitted.height; ++row) {
        const Span rows = coveredSpan(row, fitted.height, image.height);
        for (int column = 0; column < fitted.width; ++column) {
            const Span columns = coveredSpan(column, fitted.width, image.width);
            std::uint64_t blue = 0, green = 0, red = 0;
            for (std::int64_t y = rows.first; y < rows.last; ++y) {
                const std::uint8_t* pixel = image.pixels.data() + (y * image.width + columns.first) * kBytesPerPixel;
                for (std::int64_t x = columns.first; x < columns.last; ++x, pixel += kBytesPerPixel) {
                    blue += pixel[0];
                    green += pixel[1];
                    red += pixel[2];
                }
            }
            const std::uint64_t count = static_cast<std::uint64_t>(rows.last - rows.first) *
                                        static_cast<std::uint64_t>(columns.last - columns.first);
            std::uint8_t* texel = texelAt(out.rgba, column, row);
            texel[0] = static_cast<std::uint8_t>(red / count);
            texel[1] = static_cast<std::uint8_t>(green / count);
            texel[2] = static_cast<std::uint8_t>(blue / count);
            texel[3] = 255;
        }
    }
    repeatImageEdges(out.rgba, fitted.width, fitted.height);
    return out;
}

bool isTileActive(const Tiles& tile, float t) { return tile.starttime <= t && t <= tile.endtime; }

TileTexCoords tileTexCoords(const Tiles& tile) {
    TileTexCoords c;
    if (tile.textureWidth > 0) c.s = static_cast<float>(tile.imageWidth) / static_cast<float>(tile.textureWidth);
    if (tile.textureHeight > 0) c.t = static_cast<float>(tile.imageHeight) / static_cast<float>(tile.textureHeight);
    return c;
}

}  // namespace xmo
