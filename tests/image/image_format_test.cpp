#include "image/image_format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace xmo {
namespace {

TEST(ImageFormat, RecognisesFilesByTheirFirstTenBytes) {
    struct Case {
        const char* name;
        std::string bytes;
        ImageFormat format;
    };
    const Case cases[] = {
        {"png", std::string("\x89PNG\r\n\x1a\n\0\0", 10), kImagePng},
        {"jfif jpeg", std::string("\xff\xd8\xff\xe0\0\x10JFIF\0", 11), kImageJpeg},
        {"exif jpeg", std::string("\xff\xd8\xff\xe1\0\x10" "Exif\0\0", 12), kImageUnknown},
        {"jpeg without jfif", std::string("\xff\xd8\xff\xe0\0\x10JFXX\0", 11), kImageUnknown},
        {"bmp", "BM0123456789", kImageBmp},
        {"nine bytes of png", std::string("\x89PNG\r\n\x1a\n\0", 9), kImageUnknown},
        {"text", "just some words", kImageUnknown},
        {"empty", "", kImageUnknown},
    };
    const auto path = std::filesystem::temp_directory_path() / "xmo-image-format-test.bin";
    for (const Case& c : cases) {
        std::ofstream(path, std::ios::binary) << c.bytes;
        EXPECT_EQ(detectImageFormat(path.string()), c.format) << c.name;
    }
    std::filesystem::remove(path);
    EXPECT_EQ(detectImageFormat(path.string()), kImageUnknown);
}

std::string le32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {char(u & 0xFF), char(u >> 8 & 0xFF), char(u >> 16 & 0xFF), char(u >> 24)};
}

TEST(ImageFormat, ReadsThePictureSizeFromTheHeaderAlone) {
    const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\x02\0\0\0\x30", 24);
    const std::string bmpInfo = std::string("BM") + std::string(12, '\0') + le32(40);
    const std::string jfif = std::string("\xff\xd8\xff\xe0\0\x06JFIF", 10);
    const std::string frame = std::string("\x08\x01\x40\x02\x80\x03", 6);  // precision, 320 high, 640 wide
    struct Case {
        const char* name;
        ImageFormat format;
        std::string bytes;
        std::int64_t width, height;  // 0 x 0: the header does not say
    };
    const Case cases[] = {
        {"png", kImagePng, png, 258, 48},
        {"png cut in its header", kImagePng, png.substr(0, 23), 0, 0},
        {"bmp top-down", kImageBmp, bmpInfo + le32(17) + le32(-5), 17, 5},
        {"bmp core header", kImageBmp,
         std::string("BM") + std::string(12, '\0') + le32(12) + std::string("\x03\0\x04\0", 4), 3, 4},
        {"jpeg progressive after a table and fill bytes", kImageJpeg,
         jfif + std::string("\xff\xdb\0\x04\x01\x02\xff\xff\xc2\0\x11", 11) + frame, 640, 320},
        {"jpeg huffman table is no frame", kImageJpeg, jfif + std::string("\xff\xc4\0\x11", 4) + frame, 0, 0},
        {"jpeg scan before any frame", kImageJpeg, jfif + std::string("\xff\xda\0\x08", 4) + frame, 0, 0},
        {"jpeg segment running past the end", kImageJpeg, jfif + std::string("\xff\xe1\xff\xff", 4), 0, 0},
    };
    for (const Case& c : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        const std::optional<ImageSize> size = readImageSize(c.format, bytes, c.bytes.size());
        EXPECT_EQ(size ? size->width : 0, c.width) << c.name;
        EXPECT_EQ(size ? size->height : 0, c.height) << c.name;
    }
}

std::string be32(std::uint32_t v) { return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)}; }

std::string chunk(const char* type, const std::string& data) { return be32(data.size()) + type + data + "crc!"; }

TEST(ImageFormat, APngIsReadOnlyWhenEveryChunkIsWholeUpToIend) {
    const std::string signature("\x89PNG\r\n\x1a\n", 8);
    const std::string header = chunk("IHDR", std::string(13, '\1'));
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<std::string> problem;
    };
    const Case cases[] = {
        {"whole", signature + header + chunk("IEND", ""), std::nullopt},
        {"cut inside the data", signature + header.substr(0, 15), "the file ends inside the chunk \"IHDR\""},
        {"cut inside a header", signature + header + std::string(2, '\0'), "the file ends inside a chunk header"},
        {"no IEND", signature + header, "the file has no IEND chunk"},
        {"a length beyond the file", signature + be32(0x7FFFFFF0) + "tE\x01t" + "data",
         "the file ends inside the chunk \"tE?t\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findBrokenPngChunk(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()),
                  c.problem)
            << c.name;
}

TEST(ImageFormat, SaysWhyAFileCannotGiveAPicture) {
    struct Case {
        const char* file;
        std::optional<std::string> problem;
    };
    const Case cases[] = {
        {"image/baseline.jpg", std::nullopt},
        {"image/rle8.bmp", std::nullopt},
        {"image/exif.jpg", "not a JFIF JPEG, PNG or BMP file"},
        {"image/nine-bytes.png", "not a JFIF JPEG, PNG or BMP file"},
        {"image/no-such-file.png", "cannot read the image file: No such file or directory"},
        {"image/huge.bmp", "60000 x 60000 pixels, more than the 67108864 an image may have"},
        {"image/truncated.png", "the file ends inside the chunk \"IDAT\""},
    };
    for (const Case& c : cases) EXPECT_EQ(findImageFileProblem(c.file), c.problem) << c.file;

    // Headers alone: the check reads no further than the picture size.
    const auto le32 = [](std::uint32_t v) {
        return std::string{char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
    };
    struct Header {
        std::string info;  // after the file header
        std::optional<std::string> problem;
        ImageSize size;
    };
    const Header headers[] = {
        {"", "the header gives no picture size", {}},
        {le32(40) + le32(9000) + le32(4), std::nullopt, {9000, 4}},
    };
    const auto file = std::filesystem::temp_directory_path() / "xmo-header.bmp";
    for (const Header& h : headers) {
        std::ofstream(file, std::ios::binary) << "BM" + std::string(12, '\0') + h.info;
        ImageSize size;
        EXPECT_EQ(findImageFileProblem(file.string(), &size), h.problem) << h.problem.value_or("whole");
        EXPECT_EQ(size.width, h.size.width);
        EXPECT_EQ(size.height, h.size.height);
    }
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace xmo
