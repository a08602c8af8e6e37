// Recognising an image file by its first bytes, before any decoder sees it,
// and reading the picture size its header claims.
//
// Only three formats are read: PNG by its signature, JPEG only with a JFIF
// header as its first segment, BMP by "BM". The format values are the codes
// the image reader returns. Depends on image/image.h for the size limit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace xmo {

enum ImageFormat : int {
    kImageUnknown = 0,
    kImageBmp = 2,
    kImageJpeg = 3,
    kImagePng = 7,
};

// The format of the first bytes of a file; kImageUnknown under 10 bytes.
ImageFormat detectImageFormat(const std::uint8_t* bytes, std::size_t size);

// kImageUnknown also for a file that cannot be opened.
ImageFormat detectImageFormat(const std::string& fileName);

struct ImageSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// What the header of a file of the given format says, without decoding.
// The header is all that a decoder reads before the pixels without checking
// that the file holds it: PNG's signature and IHDR chunk; BMP's file and info
// headers, colour masks and colour table; JPEG's segments up to and with the
// first frame header.
struct ImageHeader {
    // The picture size: PNG's IHDR, BMP's info header (a negative height, a
    // top-down file, counts by its magnitude), JPEG's first frame header
    // before the scan data. Nothing when the header does not say or ends
    // before it.
    std::optional<ImageSize> size;
    // The file ends before the header does: a decoder would go on with
    // values it never read.
    bool cutShort = false;
};
ImageHeader readImageHeader(ImageFormat format, const std::uint8_t* bytes, std::size_t size);

// Why a PNG file's chunks cannot all be read: a chunk that runs past the end
// of the file, or no IEND chunk. PNG's decoder does not notice the end of its
// input and would go on reading and checksumming chunk lengths that a few
// bytes claim, so a cut-off file is refused before it gets there. Nothing
// when every chunk is whole up to IEND.
std::optional<std::string> findBrokenPngChunk(const std::uint8_t* bytes, std::size_t size);

// Why a recognised file is not handed to its decoder: its header is cut
// short ("the header is cut short"), gives no picture size or claims more
// pixels than an image may have, or (PNG) its chunks are broken. Nothing when
// the decoder may have it.
std::optional<std::string> findUndecodableHeader(ImageFormat format, const std::uint8_t* bytes, std::size_t size);

// Why a file's bytes cannot give a picture, as far as can be told without
// decoding them: they are not one of the three formats ("not a JFIF JPEG,
// PNG or BMP file", which is also what a JPEG with an Exif header gets), or
// findUndecodableHeader has a reason. Nothing when they may decode, and then
// *size, when given, is the picture size the header claims.
std::optional<std::string> findImageBytesProblem(const std::uint8_t* bytes, std::size_t size,
                                                 ImageSize* picture = nullptr);

// The same for a file, which may also fail to open.
// The player stays silent about these; xmotool check reports them.
std::optional<std::string> findImageFileProblem(const std::string& fileName, ImageSize* size = nullptr);

// Files beyond this size are not read: no picture of kMaxImagePixels pixels
// needs more, in any of the three formats.
inline constexpr std::int64_t kMaxImageFileBytes = std::int64_t{1} << 30;

// Reads a whole image file into `bytes`; false, with the reason, when it does
// not open, cannot be read or is larger than kMaxImageFileBytes.
bool readImageFileBytes(const std::string& fileName, std::vector<std::uint8_t>& bytes, std::string& reason);

}  // namespace xmo
