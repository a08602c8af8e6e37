#include "app/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace xmo {

EncoderProcess::~EncoderProcess() {
    if (input_ >= 0) close(input_);
}

bool EncoderProcess::start(const std::vector<std::string>& argv, std::string& error) {
    name_ = argv.at(0);
    signal(SIGPIPE, SIG_IGN);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe to " + name_ + ": " + std::strerror(errno);
        return false;
    }
    const bool started = process_.start(argv, pipeEnds[0], false, error);
    close(pipeEnds[0]);
    if (!started) {
        close(pipeEnds[1]);
        return false;
    }
    input_ = pipeEnds[1];
    return true;
}

bool EncoderProcess::write(const void* data, std::size_t size, std::string& error) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(input_, bytes, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            if (errno != EPIPE) {
                error = "cannot write to " + name_ + ": " + std::strerror(errno);
                return false;
            }
            // The encoder has gone; how it ended says why.
            if (finish(error)) error = name_ + " ended before it had every frame";
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool EncoderProcess::finish(std::string& error) {
    if (input_ < 0) {
        error = name_ + " is not running";
        return false;
    }
    close(input_);
    input_ = -1;
    return process_.wait(error) && endedCleanly(process_, error);
}

}  // namespace xmo
