#include "base/atomic_file.h"

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

}  // namespace

bool writeFileAtomically(const std::string& path, const WriteContents& write, std::string& error) {
    const auto fail = [&](int reason) {
        error = "cannot write " + path + ": " + (reason ? std::strerror(reason) : "the contents could not be written");
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

}  // namespace xmo
