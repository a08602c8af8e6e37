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

// A header that ends early is told apart from one that does not give the
// size: the decoder would read on past the end of the file.
TEST(ImageFormat, ReadsThePictureSizeAndWhetherTheFileHoldsTheWholeHeader) {
    const std::string png = std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x01\x02\0\0\0\x30", 24) +
                            std::string("\x08\x06\0\0\0", 5) + "crc!";
    const std::string fileHeader = std::string("BM") + std::string(12, '\0');
    const auto info = [&](std::int32_t width, std::int32_t height, int bits, int compression, int colours) {
        return fileHeader + le32(40) + le32(width) + le32(height) + std::string("\1\0", 2) +
               std::string{char(bits), '\0'} + le32(compression) + std::string(12, '\0') + le32(colours) + le32(0);
    };
    const std::string jfif = std::string("\xff\xd8\xff\xe0\0\x06JFIF", 10);
    // Length 17: precision, 320 high, 640 wide, three components.
    const std::string frame = std::string("\xff\xc2\0\x11\x08\x01\x40\x02\x80\x03", 10) + std::string(9, '\1');
    struct Case {
        const char* name;
        ImageFormat format;
        std::string bytes;
        std::int64_t width, height;  // 0 x 0: the header does not say
        bool cutShort;
    };
    const Case cases[] = {
        {"png", kImagePng, png, 258, 48, false},
        {"png without its IHDR checksum", kImagePng, png.substr(0, 32), 258, 48, true},
        {"png cut in the size", kImagePng, png.substr(0, 23), 0, 0, true},
        {"png of ten bytes", kImagePng, png.substr(0, 10), 0, 0, true},
        {"png whose first chunk is no IHDR", kImagePng, png.substr(0, 12) + "tEXt" + png.substr(16), 0, 0, false},
        {"bmp top-down", kImageBmp, info(17, -5, 24, 0, 0), 17, 5, false},
        {"bmp info header cut after the size", kImageBmp, info(17, 5, 24, 0, 0).substr(0, 26), 17, 5, true},
        {"bmp of 17 bytes", kImageBmp, fileHeader + "\x28\0\0", 0, 0, true},
        {"bmp of 8 bits without its colours", kImageBmp, info(2, 2, 8, 0, 0) + std::string(1020, '\0'), 2, 2, true},
        {"bmp of 8 bits with 256 colours", kImageBmp, info(2, 2, 8, 0, 0) + std::string(1024, '\0'), 2, 2, false},
        {"bmp of 8 bits using 2 colours", kImageBmp, info(2, 2, 8, 0, 2) + std::string(8, '\0'), 2, 2, false},
        {"bmp bit fields without the masks", kImageBmp, info(2, 2, 16, 3, 0) + std::string(8, '\0'), 2, 2, true},
        {"bmp bit fields with the masks", kImageBmp, info(2, 2, 16, 3, 0) + std::string(12, '\0'), 2, 2, false},
        {"bmp core header", kImageBmp, fileHeader + le32(12) + std::string("\x03\0\x04\0\1\0\x18\0", 8), 3, 4,
         false},
        {"bmp info header of 10 bytes", kImageBmp, fileHeader + le32(10) + std::string(20, '\0'), 0, 0, false},
        {"jpeg progressive after a table and fill bytes", kImageJpeg,
         jfif + std::string("\xff\xdb\0\x04\x01\x02\xff", 7) + frame, 640, 320, false},
        {"jpeg frame header without its components", kImageJpeg, jfif + frame.substr(0, 12), 640, 320, true},
        {"jpeg huffman table is no frame", kImageJpeg, jfif + std::string("\xff\xc4\0\x11", 4) + frame, 0, 0, true},
        {"jpeg scan before any frame", kImageJpeg, jfif + std::string("\xff\xda\0\x08", 4) + frame, 0, 0, false},
        {"jpeg segment running past the end", kImageJpeg, jfif + std::string("\xff\xe1\xff\xff", 4), 0, 0, true},
    };
    for (const Case& c : cases) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(c.bytes.data());
        const ImageHeader header = readImageHeader(c.format, bytes, c.bytes.size());
        EXPECT_EQ(header.size ? header.size->width : 0, c.width) << c.name;
        EXPECT_EQ(header.size ? header.size->height : 0, c.height) << c.name;
        EXPECT_EQ(header.cutShort, c.cutShort) << c.name;
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

    // Headers alone, the first cut short in its size, the last whole.
    struct Header {
        std::string info;  // after the file header
        std::optional<std::string> problem;
        ImageSize size;
    };
    const Header headers[] = {
        {le32(40) + le32(9000), "the header is cut short", {}},
        {le32(40) + le32(9000) + le32(4), "the header is cut short", {}},
        {le32(8) + std::string(20, '\0'), "the header gives no picture size", {}},
        {le32(40) + le32(9000) + le32(4) + std::string("\1\0\x18\0", 4) + std::string(24, '\0'), std::nullopt,
         {9000, 4}},
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
