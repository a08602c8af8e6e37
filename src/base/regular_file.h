// Opening a file that a film names (the movie itself, its scene files, caption
// fonts, tile images, music) for reading.
//
// The open never blocks: a FIFO without a writer, or a device, would stall a
// loader for good or feed it without end, so the path is opened non-blocking
// and anything but a regular file is refused before a byte is read. Every
// loader that opens a named file goes through here. Depends on nothing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace xmo {

class RegularFile {
public:
    explicit RegularFile(const std::string& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    explicit operator bool() const { return stream_ != nullptr; }
    // Why the file is not open: the system's reason, or "not a regular file".
    const std::string& problem() const { return problem_; }
    // The path names something that is there but is no regular file (a
    // FIFO, a device, a folder).
    bool isNotRegular() const { return notRegular_; }
    // Open for reading in binary mode, positioned at the start.
    std::FILE* stream() const { return stream_; }
    // The size when it was opened.
    std::uint64_t size() const { return size_; }

private:
    std::FILE* stream_ = nullptr;
    std::uint64_t size_ = 0;
    std::string problem_;
    bool notRegular_ = false;
};

// Reads the whole regular file at path into bytes. False, with the reason,
// when it does not open, is no regular file, cannot be read or holds more
// than maxBytes (then nothing beyond maxBytes is read).
bool readRegularFile(const std::string& path, std::uint64_t maxBytes, std::vector<std::uint8_t>& bytes,
                     std::string& reason);

}  // namespace xmo
