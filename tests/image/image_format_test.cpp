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
        int format;
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

}  // namespace
}  // namespace xmo
