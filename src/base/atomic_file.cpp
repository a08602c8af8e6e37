#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace xmo {

namespace {

// Beyond the file-size limit a write raises SIGXFSZ, which would end the
// process with the temporary file still there; ignored, the write fails with
// EFBIG and is cleaned up like any other failure.
class SizeLimitSignalIgnored {
public:
    SizeLimitSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGXFSZ, &ignore, &previous_);
    }
    ~SizeLimitSignalIgnored() { sigaction(SIGXFSZ, &previous_, nullptr); }
    SizeLimitSignalIgnored(const SizeLimitSignalIgnored&) = delete;
    SizeLimitSignalIgnored& operator=(const SizeLimitSignalIgnored&) = delete;

private:
    struct sigaction previous_ {};
};

std::string reasonOf(int error) { return error ? std::strerror(error) : "the contents could not be written"; }

// The file a path finally names, following symbolic links (also one that
// names a file not there yet); nothing when the links loop.
std::optional<std::string> followLinks(std::string path, int& error) {
    constexpr int kMaxLinks = 40;
    for (int i = 0; i < kMaxLinks; ++i) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        std::string link(static_cast<std::size_t>(status.st_size) + 1, '\0');
        const ssize_t n = readlink(path.c_str(), link.data(), link.size());
        if (n < 0) {
            error = errno;
            return std::nullopt;
        }
        link.resize(static_cast<std::size_t>(n));
        const std::size_t slash = path.rfind('/');
        path = link[0] == '/' || slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
    error = ELOOP;
    return std::nullopt;
}

// mkstemp makes the file private; a new file gets the usual mode, a
// replacement the mode and owner of the file it replaces.
void giveMode(int fd, const struct stat* replaced) {
    if (replaced) {
        if (replaced->st_uid != geteuid() || replaced->st_gid != getegid())
            static_cast<void>(fchown(fd, replaced->st_uid, replaced->st_gid));
        fchmod(fd, replaced->st_mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

// Returns 0 or the reason the text could not be written.
int replaceFile(const std::string& target, const struct stat* replaced, const WriteContents& write) {
    std::string temporary = target + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return errno;
    giveMode(fd, replaced);
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        const int reason = errno;
        close(fd);
        unlink(temporary.c_str());
        return reason;
    }
    errno = 0;
    bool ok = write(file);
    int reason = errno;
    if (ok && (std::fflush(file) != 0 || fsync(fileno(file)) != 0)) {
        ok = false;
        reason = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        reason = errno;
    }
    if (ok) return 0;
    unlink(temporary.c_str());
    return reason ? reason : EIO;
}

// The whole text in memory, then into the file over its old contents.
int writeInPlace(const std::string& target, const WriteContents& write) {
    char* text = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&text, &size);
    if (!memory) return errno;
    errno = 0;
    const bool made = write(memory);
    const int madeReason = errno;
    const bool closed = std::fclose(memory) == 0;
    struct Freer {
        void operator()(char* p) const { std::free(p); }
    };
    const std::unique_ptr<char, Freer> owned(text);
    if (!made || !closed) return madeReason ? madeReason : ENOMEM;

    const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return errno;
    // Reserving the space first is what keeps a full disk or the size limit
    // from leaving the file half old, half new.
    int reason = size > 0 ? posix_fallocate(fd, 0, static_cast<off_t>(size)) : 0;
    for (std::size_t done = 0; reason == 0 && done < size;) {
        const ssize_t n = pwrite(fd, text + done, size - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) reason = n < 0 ? errno : EIO;
        else done += static_cast<std::size_t>(n);
    }
    if (reason == 0 && (ftruncate(fd, static_cast<off_t>(size)) != 0 || fsync(fd) != 0)) reason = errno;
    if (close(fd) != 0 && reason == 0) reason = errno;
    return reason;
}

// The file the path names (after symbolic links) and its status when it
// exists, else st_mode 0; false with the reason when it may not be replaced.
bool findReplaceableFile(const std::string& path, std::string& target, struct stat& status, std::string& reason) {
    int linkError = 0;
    const std::optional<std::string> followed = followLinks(path, linkError);
    if (!followed) {
        reason = reasonOf(linkError);
        return false;
    }
    target = *followed;
    status = {};
    if (stat(target.c_str(), &status) != 0) {
        status.st_mode = 0;
        if (errno == ENOENT) return true;
        reason = reasonOf(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode)) {
        reason = "not a regular file";
        return false;
    }
    // The mode bits count for root too, who may write any file.
    if ((status.st_mode & 0222) == 0) {
        reason = "read-only file";
        return false;
    }
    if (access(target.c_str(), W_OK) != 0) {
        reason = errno == EACCES ? "read-only file" : reasonOf(errno);
        return false;
    }
    return true;
}

}  // namespace

bool writeFileAtomically(const std::string& path, const WriteContents& write, std::string& error) {
    const SizeLimitSignalIgnored sizeLimit;
    std::string target, reason;
    struct stat status {};
    if (!findReplaceableFile(path, target, status, reason)) {
        error = "cannot write " + path + ": " + reason;
        return false;
    }
    const bool exists = status.st_mode != 0;
    const int failure = exists && status.st_nlink > 1 ? writeInPlace(target, write)
                                                      : replaceFile(target, exists ? &status : nullptr, write);
    if (failure == 0) return true;
    error = "cannot write " + path + ": " + reasonOf(failure);
    return false;
}

bool checkWritableTarget(const std::string& path, std::string& error) {
    std::string target, reason;
    struct stat status {};
    if (findReplaceableFile(path, target, status, reason)) return true;
    error = "cannot write " + path + ": " + reason;
    return false;
}

TemporaryFile::~TemporaryFile() {
    if (!path_.empty()) unlink(path_.c_str());
}

bool TemporaryFile::create(std::string& error) {
    std::string reason;
    struct stat status {};
    if (!findReplaceableFile(target_, resolved_, status, reason)) {
        error = "cannot write " + target_ + ": " + reason;
        return false;
    }
    std::string name = resolved_ + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = "cannot write " + target_ + ": " + reasonOf(errno);
        return false;
    }
    giveMode(fd, status.st_mode != 0 ? &status : nullptr);
    close(fd);
    path_ = name;
    return true;
}

bool TemporaryFile::commit(std::string& error) {
    // The writer has closed the file; what it wrote reaches the disk before
    // the name does.
    const int fd = open(path_.c_str(), O_RDONLY);
    if (fd < 0 || fsync(fd) != 0 || std::rename(path_.c_str(), resolved_.c_str()) != 0) {
        error = "cannot write " + target_ + ": " + reasonOf(errno);
        if (fd >= 0) close(fd);
        return false;
    }
    close(fd);
    path_.clear();
    return true;
}

}  // namespace xmo
