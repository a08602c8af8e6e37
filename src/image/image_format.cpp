#include "image/image_format.h"

#include <cstdio>
#include <cstring>

#include "base/regular_file.h"

namespace xmo {

int detectImageFormat(const std::string& fileName) {
    const RegularFile file(fileName);
    if (!file) return kImageUnknown;
    unsigned char head[10];
    const size_t n = std::fread(head, 1, sizeof head, file.stream());
    if (n < sizeof head) return kImageUnknown;
    static const unsigned char kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    static const unsigned char kJpegJfifStart[4] = {0xFF, 0xD8, 0xFF, 0xE0};
    if (std::memcmp(head, kPngSignature, 8) == 0) return kImagePng;
    if (std::memcmp(head, kJpegJfifStart, 4) == 0 && std::memcmp(head + 6, "JFIF", 4) == 0) return kImageJpeg;
    if (head[0] == 'B' && head[1] == 'M') return kImageBmp;
    return kImageUnknown;
}

}  // namespace xmo
