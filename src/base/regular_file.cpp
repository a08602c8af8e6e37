#include "base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace xmo {

RegularFile::RegularFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem_ = std::strerror(errno);
        return;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        problem_ = std::strerror(errno);
        ::close(fd);
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        problem_ = "not a regular file";
        notRegular_ = true;
        ::close(fd);
        return;
    }
    // Reads of a regular file never block anyway; the flag only kept the open
    // itself from waiting.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    stream_ = ::fdopen(fd, "rb");
    if (!stream_) {
        problem_ = std::strerror(errno);
        ::close(fd);
        return;
    }
    size_ = static_cast<std::uint64_t>(status.st_size);
}

RegularFile::~RegularFile() {
    if (stream_) std::fclose(stream_);
}

bool readRegularFile(const std::string& path, std::uint64_t maxBytes, std::vector<std::uint8_t>& bytes,
                     std::string& reason) {
    const RegularFile file(path);
    if (!file) {
        reason = file.problem();
        return false;
    }
    const auto tooLarge = [&] {
        reason = "the file is larger than " + std::to_string(maxBytes) + " bytes";
        return false;
    };
    if (file.size() > maxBytes) return tooLarge();
    bytes.clear();
    bytes.reserve(static_cast<std::size_t>(file.size()));
    std::uint8_t chunk[1 << 16];
    std::size_t n = 0;
    // The file may grow while it is read: the limit holds for what is read.
    while ((n = std::fread(chunk, 1, sizeof chunk, file.stream())) > 0) {
        if (bytes.size() + n > maxBytes) return tooLarge();
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (std::ferror(file.stream())) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace xmo
