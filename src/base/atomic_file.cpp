#include "base/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace xmo {

namespace {

// mkstemp makes the file private; a written file gets the usual mode.
void giveUsualMode(int fd) {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

std::string cannotWrite(const std::string& path, int reason) {
    return "cannot write " + path + ": " + (reason ? std::strerror(reason) : "the contents could not be written");
}

}  // namespace

bool writeFileAtomically(const std::string& path, const WriteContents& write, std::string& error) {
    const auto fail = [&](int reason) {
        error = cannotWrite(path, reason);
        return false;
    };
    std::string temporary = path + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) return fail(errno);
    giveUsualMode(fd);
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        const int reason = errno;
        close(fd);
        unlink(temporary.c_str());
        return fail(reason);
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
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
        ok = false;
        reason = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        return fail(reason);
    }
    return true;
}

TemporaryFile::~TemporaryFile() {
    if (!path_.empty()) unlink(path_.c_str());
}

bool TemporaryFile::create(std::string& error) {
    std::string name = target_ + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        error = cannotWrite(target_, errno);
        return false;
    }
    giveUsualMode(fd);
    close(fd);
    path_ = name;
    return true;
}

bool TemporaryFile::commit(std::string& error) {
    // The writer has closed the file; what it wrote reaches the disk before
    // the name does.
    const int fd = open(path_.c_str(), O_RDONLY);
    if (fd < 0 || fsync(fd) != 0 || std::rename(path_.c_str(), target_.c_str()) != 0) {
        error = cannotWrite(target_, errno);
        if (fd >= 0) close(fd);
        return false;
    }
    close(fd);
    path_.clear();
    return true;
}

}  // namespace xmo
