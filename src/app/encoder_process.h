// A video encoder run as a child process (ffmpeg), fed raw frames through a
// pipe on its standard input.
//
// The encoder writes its output file itself. What it says on its standard
// error is kept (child_process.h): it runs with only its errors printed, so
// anything it says there is a failure, also when it exits with status 0, as
// ffmpeg does when the disk fills while it writes the end of the file. An
// encoder that dies while we write gives EPIPE on the pipe, not a SIGPIPE
// that would end this process before it could clean up: SIGPIPE is ignored
// here from start on.
#pragma once

#include <string>
#include <vector>

#include "app/child_process.h"

namespace xmo {

class EncoderProcess {
public:
    EncoderProcess() = default;
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;
    // An encoder still running is stopped and waited for.
    ~EncoderProcess();

    // Starts argv[0], searched on PATH, with the other arguments; false with
    // the reason when it cannot be started (not installed, for one).
    bool start(const std::vector<std::string>& argv, std::string& error);

    // Writes all bytes to the encoder's input; false with the reason when the
    // pipe fails or the encoder has exited (then with how it ended).
    bool write(const void* data, std::size_t size, std::string& error);

    // Ends the input and waits for the encoder; false with the reason unless
    // it exited with status 0 and reported no error.
    bool finish(std::string& error);

private:
    std::string name_;
    ChildProcess process_;
    int input_ = -1;
};

}  // namespace xmo
