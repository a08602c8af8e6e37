#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdlib>

#include "app/capture_requests.h"

namespace xmo {

CaptureRequests::CaptureRequests() {
    const char* path = std::getenv("XMOPLAY_CAPTURE");
    if (!path || !*path) return;
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGUSR1);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return;
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    path_ = path;
}

CaptureRequests::~CaptureRequests() {
    if (fd_ >= 0) close(fd_);
}

bool CaptureRequests::isRequested() {
    if (fd_ < 0) return false;
    bool requested = false;
    signalfd_siginfo info;
    while (read(fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) requested = true;
    return requested;
}

}  // namespace xmo
