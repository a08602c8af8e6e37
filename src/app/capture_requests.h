// A hook for tests that watch the player from outside, not an option for
// authors: with XMOPLAY_CAPTURE=FILE.png in the environment, every SIGUSR1
// makes the player write the film's next picture (without the key overlay)
// to FILE.png, replaced whole.
//
// The signal is blocked and read from a signalfd. A blocked signal stays
// pending across the re-exec of a reload or a restart, where a handler
// would be reset and the signal's default action would end the player.
#pragma once

#include <string>

namespace xmo {

class CaptureRequests {
public:
    // Call at the top of main, before any thread starts (threads inherit the
    // blocked signal). Off when the variable is not set.
    CaptureRequests();
    CaptureRequests(const CaptureRequests&) = delete;
    CaptureRequests& operator=(const CaptureRequests&) = delete;
    ~CaptureRequests();

    bool isOn() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    // Whether a request came since the last call.
    bool isRequested();

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace xmo
