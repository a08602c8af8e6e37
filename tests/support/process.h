// Running the programs under test as child processes.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace xmo::test {

struct ProcessResult {
    int exitCode = -1;     // -1 when killed by a signal or timed out
    bool timedOut = false;
    std::string out, err;  // standard output and standard error
    long maxResidentKb = 0;  // the child's peak resident memory
    double cpuSeconds = 0;   // the child's user and system time
};

struct ProcessOptions {
    std::vector<std::string> env;  // extra NAME=VALUE entries
    std::string workingDir;        // empty: the test's own
    double timeoutSeconds = 30.0;
    // Called about every 100 ms while the child runs, with its pid.
    std::function<void(int pid, double elapsedSeconds)> whileRunning;
};

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options = {});

// The contents of a file, or empty when it cannot be read.
std::string readFile(const std::string& path);

}  // namespace xmo::test
