#include "image/image_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace xmo {
namespace {

struct Bgra {
    int b, g, r, a;
};

Bgra pixel(const Image& image, int x, int y) {
    const std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

TEST(ImageFile, EveryVariantDecodesToTheSamePictureTopRowFirst) {
    struct Case {
        const char* file;
        ImageFormat format;
        int tolerance;  // JPEG is lossy
    };
    const Case cases[] = {
        {"image/baseline.jpg", kImageJpeg, 6},    {"image/progressive.jpg", kImageJpeg, 6},
        {"image/png16.png", kImagePng, 0},        {"image/palette.png", kImagePng, 0},
        {"image/interlaced.png", kImagePng, 0},   {"image/bottom-up.bmp", kImageBmp, 0},
        {"image/top-down.bmp", kImageBmp, 0},     {"image/rle8.bmp", kImageBmp, 0},
    };
    // The quad: red top left, green top right, blue bottom left, white bottom right.
    struct Expected {
        int x, y;
        Bgra colour;
    };
    const Expected quadrants[] = {
        {4, 4, {0, 0, 255, 255}}, {12, 4, {0, 255, 0, 255}}, {4, 12, {255, 0, 0, 255}}, {12, 12, {255, 255, 255, 255}}};
    for (const Case& c : cases) {
        Image image;
        std::ostringstream errors;
        EXPECT_EQ(readImageFile(c.file, image, errors), c.format) << c.file;
        EXPECT_EQ(errors.str(), "") << c.file;
        ASSERT_EQ(image.width, 16) << c.file;
        ASSERT_EQ(image.height, 16) << c.file;
        ASSERT_EQ(image.pixels.size(), 16u * 16u * 4u) << c.file;
        for (const Expected& q : quadrants) {
            const Bgra got = pixel(image, q.x, q.y);
            EXPECT_NEAR(got.b, q.colour.b, c.tolerance) << c.file << " at " << q.x << "," << q.y;
            EXPECT_NEAR(got.g, q.colour.g, c.tolerance) << c.file << " at " << q.x << "," << q.y;
            EXPECT_NEAR(got.r, q.colour.r, c.tolerance) << c.file << " at " << q.x << "," << q.y;
            EXPECT_EQ(got.a, 255) << c.file << " has no alpha of its own";
        }
    }
}

TEST(ImageFile, FilesThatGiveNoPictureAreSilentUnlessTheyWereRecognised) {
    struct Case {
        const char* file;
        ImageFormat format;
        const char* message;  // the line on the error stream; empty for none
        bool untouched;       // the record keeps what it held
    };
    const Case cases[] = {
        {"image/exif.jpg", kImageUnknown, "", true},
        {"image/nine-bytes.png", kImageUnknown, "", true},
        {"image/no-such-file.png", kImageUnknown, "", true},
        {"image/truncated.png", kImagePng, "image/truncated.png: cannot decode image: ", false},
        // The decoders would read on with values they never read.
        {"image/cut-header.bmp", kImageBmp, "image/cut-header.bmp: cannot decode image: the header is cut short\n",
         false},
        {"image/ten-bytes.png", kImagePng, "image/ten-bytes.png: cannot decode image: the header is cut short\n",
         false},
        {"image/huge.bmp", kImageBmp,
         "image/huge.bmp: cannot decode image: 60000 x 60000 pixels, more than the 67108864 an image may have\n",
         false},
    };
    for (const Case& c : cases) {
        Image image;
        image.width = image.height = 1;
        image.pixels = {1, 2, 3, 4};
        std::ostringstream errors;
        EXPECT_EQ(readImageFile(c.file, image, errors), c.format) << c.file;
        const std::string said = errors.str();
        EXPECT_EQ(said.substr(0, std::string(c.message).size()), c.message) << c.file;
        if (*c.message) EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        else EXPECT_EQ(said, "");
        EXPECT_EQ(image.width, c.untouched ? 1 : 0) << c.file;
        EXPECT_EQ(image.pixels.size(), c.untouched ? 4u : 0u) << c.file;
    }
}

TEST(ImageFile, APureRedBmpGivesOpaqueRedTextureBytes) {
    Image image;
    std::ostringstream errors;
    ASSERT_EQ(readImageFile("image/red.bmp", image, errors), kImageBmp);
    std::vector<std::uint8_t> rgba;
    buildTextureBytes(image, rgba);
    ASSERT_EQ(rgba.size(), 2u * 2u * 4u);
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        EXPECT_EQ(std::vector<std::uint8_t>(rgba.begin() + i, rgba.begin() + i + 4),
                  (std::vector<std::uint8_t>{255, 0, 0, 255}));
}

}  // namespace
}  // namespace xmo
