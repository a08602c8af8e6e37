#include "image/image.h"

#include <algorithm>

#include "base/check.h"

namespace xmo {

namespace {

// For each source coordinate, the target coordinate it falls on, and for each
// target coordinate how many sources fall on it.
void mapAxis(int from, int to, std::vector<int>& target, std::vector<int>& count) {
    target.resize(static_cast<std::size_t>(from));
    count.assign(static_cast<std::size_t>(to), 0);
    for (int s = 0; s < from; ++s) {
        const int t = static_cast<int>(std::int64_t{s} * to / from);
        target[static_cast<std::size_t>(s)] = t;
        ++count[static_cast<std::size_t>(t)];
    }
}

}  // namespace

std::size_t pixelBytes(const Image& image) {
    return image.empty() ? 0 : static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 4;
}

bool isImageSizeAccepted(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImagePixels && height <= kMaxImagePixels &&
           width * height <= kMaxImagePixels;
}

void buildTextureBytes(const Image& image, std::vector<std::uint8_t>& out) {
    XMO_CHECK(image.pixels.size() == pixelBytes(image), "image");
    const std::size_t count = image.pixels.size() / 4;
    out.resize(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* bgra = &image.pixels[i * 4];
        std::uint8_t* rgba = &out[i * 4];
        rgba[0] = bgra[2];
        rgba[1] = bgra[1];
        rgba[2] = bgra[0];
        rgba[3] = 255;
    }
}

Image scaleImageToFit(const Image& image, int maxSide) {
    if (image.empty() || maxSide <= 0 || (image.width <= maxSide && image.height <= maxSide)) return image;
    XMO_CHECK(image.pixels.size() == pixelBytes(image), "image");
    Image scaled;
    scaled.width = std::min(image.width, maxSide);
    scaled.height = std::min(image.height, maxSide);
    scaled.pixels.resize(pixelBytes(scaled));
    std::vector<int> column, columnCount, row, rowCount;
    mapAxis(image.width, scaled.width, column, columnCount);
    mapAxis(image.height, scaled.height, row, rowCount);

    // Source rows fall on target rows in order, so one target row's sums are
    // collected at a time.
    std::vector<std::uint64_t> sum(static_cast<std::size_t>(scaled.width) * 4);
    int y = 0;
    for (int target = 0; target < scaled.height; ++target) {
        std::fill(sum.begin(), sum.end(), 0);
        for (; y < image.height && row[static_cast<std::size_t>(y)] == target; ++y) {
            const std::uint8_t* source = &image.pixels[static_cast<std::size_t>(y) * image.width * 4];
            for (int x = 0; x < image.width; ++x) {
                std::uint64_t* into = &sum[static_cast<std::size_t>(column[static_cast<std::size_t>(x)]) * 4];
                for (int b = 0; b < 4; ++b) into[b] += source[x * 4 + b];
            }
        }
        std::uint8_t* out = &scaled.pixels[static_cast<std::size_t>(target) * scaled.width * 4];
        for (int x = 0; x < scaled.width; ++x) {
            const std::uint64_t n = std::uint64_t(rowCount[static_cast<std::size_t>(target)]) *
                                    std::uint64_t(columnCount[static_cast<std::size_t>(x)]);
            for (int b = 0; b < 4; ++b) out[x * 4 + b] = static_cast<std::uint8_t>((sum[x * 4 + b] + n / 2) / n);
        }
    }
    return scaled;
}

}  // namespace xmo
