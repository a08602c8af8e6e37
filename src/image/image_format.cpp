#include "image/image_format.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/regular_file.h"
#include "image/image.h"

namespace xmo {

namespace {

std::uint32_t bigEndian16(const std::uint8_t* p) { return std::uint32_t(p[0]) << 8 | p[1]; }
std::uint32_t bigEndian32(const std::uint8_t* p) { return bigEndian16(p) << 16 | bigEndian16(p + 2); }
std::uint32_t littleEndian16(const std::uint8_t* p) { return std::uint32_t(p[1]) << 8 | p[0]; }
std::int32_t littleEndian32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(littleEndian16(p + 2) << 16 | littleEndian16(p));
}

// The signature, then the IHDR chunk: length, type, width, height, five
// bytes of format, checksum.
ImageHeader pngHeader(const std::uint8_t* bytes, std::size_t size) {
    constexpr std::size_t kHeaderEnd = 8 + 4 + 4 + 13 + 4;
    if (size < 16) return {std::nullopt, true};
    if (std::memcmp(bytes + 12, "IHDR", 4) != 0) return {};
    ImageHeader header;
    if (size >= 24) header.size = ImageSize{bigEndian32(bytes + 16), bigEndian32(bytes + 20)};
    header.cutShort = size < kHeaderEnd;
    return header;
}

// The 14-byte file header, then an info header that starts with its own
// size: 12 bytes for the old core header (16-bit sides, 3-byte colours), more
// for the others; then the colour masks of a bit-field file whose info header
// is too short to hold them, and the colour table of a file of 8 bits per
// pixel or fewer. The decoder reads all of that with reads it does not check.
ImageHeader bmpHeader(const std::uint8_t* bytes, std::size_t size) {
    constexpr std::size_t kFileHeader = 14;
    if (size < kFileHeader + 4) return {std::nullopt, true};
    const std::int32_t infoSize = littleEndian32(bytes + 14);
    const bool core = infoSize == 12;
    if (!core && infoSize < 16) return {};
    const std::size_t infoEnd = kFileHeader + static_cast<std::size_t>(infoSize);
    ImageHeader header;
    header.cutShort = size < infoEnd;
    if (core) {
        if (size >= 22) header.size = ImageSize{littleEndian16(bytes + 18), littleEndian16(bytes + 20)};
    } else if (size >= 26) {
        const std::int64_t height = littleEndian32(bytes + 22);
        header.size = ImageSize{littleEndian32(bytes + 18), height < 0 ? -height : height};
    }
    if (header.cutShort) return header;

    const std::uint32_t bitsPerPixel = littleEndian16(bytes + (core ? 24 : 28));
    const std::uint32_t compression = infoSize >= 20 ? static_cast<std::uint32_t>(littleEndian32(bytes + 30)) : 0;
    const std::uint32_t coloursUsed = infoSize >= 36 ? static_cast<std::uint32_t>(littleEndian32(bytes + 46)) : 0;
    std::uint64_t end = infoEnd;
    constexpr std::uint32_t kBitFields = 3, kAlphaBitFields = 6;
    if (compression == kBitFields && infoSize < 52) end += 12;
    if (compression == kAlphaBitFields && infoSize < 56) end += 16;
    if (bitsPerPixel <= 8) {
        const std::uint64_t colours = coloursUsed != 0 ? coloursUsed : std::uint64_t{1} << bitsPerPixel;
        end += colours * (core ? 3 : 4);
    }
    header.cutShort = size < end;
    return header;
}

bool isJpegFrameMarker(std::uint8_t marker) {
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC), which share the range.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// The segments up to and with the first frame header, whole.
ImageHeader jpegHeader(const std::uint8_t* bytes, std::size_t size) {
    std::size_t at = 2;  // past the start-of-image marker
    while (at + 1 < size) {
        // Stray bytes between segments and fill bytes before a marker are
        // skipped, as the decoder skips them.
        if (bytes[at] != 0xFF || bytes[at + 1] == 0xFF) {
            ++at;
            continue;
        }
        const std::uint8_t marker = bytes[at + 1];
        if (marker == 0x00) {  // a stuffed zero is no marker
            at += 2;
            continue;
        }
        at += 2;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // markers without a length
        if (marker == 0xDA || marker == 0xD9) return {};
        if (at + 2 > size) break;
        const std::size_t length = bigEndian16(bytes + at);
        if (isJpegFrameMarker(marker)) {
            // Length, precision, height, width, then the components.
            if (length < 7) return {};
            if (at + 7 > size) break;
            return {ImageSize{bigEndian16(bytes + at + 5), bigEndian16(bytes + at + 3)}, at + length > size};
        }
        if (length < 2) return {};
        at += length;
    }
    return {std::nullopt, true};
}

}  // namespace

ImageFormat detectImageFormat(const std::uint8_t* bytes, std::size_t size) {
    if (size < 10) return kImageUnknown;
    static const std::uint8_t kPngSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    static const std::uint8_t kJpegJfifStart[4] = {0xFF, 0xD8, 0xFF, 0xE0};
    if (std::memcmp(bytes, kPngSignature, 8) == 0) return kImagePng;
    if (std::memcmp(bytes, kJpegJfifStart, 4) == 0 && std::memcmp(bytes + 6, "JFIF", 4) == 0) return kImageJpeg;
    if (bytes[0] == 'B' && bytes[1] == 'M') return kImageBmp;
    return kImageUnknown;
}

ImageFormat detectImageFormat(const std::string& fileName) {
    const RegularFile file(fileName);
    if (!file) return kImageUnknown;
    std::uint8_t head[10];
    return detectImageFormat(head, std::fread(head, 1, sizeof head, file.stream()));
}

ImageHeader readImageHeader(ImageFormat format, const std::uint8_t* bytes, std::size_t size) {
    switch (format) {
    case kImagePng:
        return pngHeader(bytes, size);
    case kImageBmp:
        return bmpHeader(bytes, size);
    case kImageJpeg:
        return jpegHeader(bytes, size);
    case kImageUnknown:
        break;
    }
    return {};
}

bool readImageFileBytes(const std::string& fileName, std::vector<std::uint8_t>& bytes, std::string& reason) {
    return readRegularFile(fileName, static_cast<std::uint64_t>(kMaxImageFileBytes), bytes, reason);
}

std::optional<std::string> findBrokenPngChunk(const std::uint8_t* bytes, std::size_t size) {
    std::size_t at = 8;  // past the signature
    while (at < size) {
        if (size - at < 8) return std::string("the file ends inside a chunk header");
        const std::uint32_t length = bigEndian32(bytes + at);
        std::string type(reinterpret_cast<const char*>(bytes + at + 4), 4);
        for (char& c : type)
            if (c < 0x20 || c > 0x7E) c = '?';
        // Data and the four bytes of its checksum.
        if (length > size - at - 8 || size - at - 8 - length < 4)
            return "the file ends inside the chunk \"" + type + "\"";
        if (type == "IEND") return std::nullopt;
        at += 12 + std::size_t{length};
    }
    return std::string("the file has no IEND chunk");
}

std::optional<std::string> findUndecodableHeader(ImageFormat format, const std::uint8_t* bytes, std::size_t size) {
    const ImageHeader header = readImageHeader(format, bytes, size);
    if (header.cutShort) return std::string("the header is cut short");
    const std::optional<ImageSize> picture = header.size;
    if (!picture) return std::string("the header gives no picture size");
    if (!isImageSizeAccepted(picture->width, picture->height))
        return std::to_string(picture->width) + " x " + std::to_string(picture->height) + " pixels, more than the " +
               std::to_string(kMaxImagePixels) + " an image may have";
    if (format == kImagePng) return findBrokenPngChunk(bytes, size);
    return std::nullopt;
}

std::optional<std::string> findImageBytesProblem(const std::uint8_t* bytes, std::size_t size, ImageSize* picture) {
    const ImageFormat format = detectImageFormat(bytes, size);
    if (format == kImageUnknown) return std::string("not a JFIF JPEG, PNG or BMP file");
    std::optional<std::string> problem = findUndecodableHeader(format, bytes, size);
    if (!problem && picture) *picture = *readImageHeader(format, bytes, size).size;
    return problem;
}

std::optional<std::string> findImageFileProblem(const std::string& fileName, ImageSize* size) {
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!readImageFileBytes(fileName, bytes, reason)) return "cannot read the image file: " + reason;
    return findImageBytesProblem(bytes.data(), bytes.size(), size);
}

}  // namespace xmo
