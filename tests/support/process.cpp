#include "support/process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace xmo::test {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

ProcessResult runProcess(const std::vector<std::string>& argv, const ProcessOptions& options) {
    char outTemplate[] = "/tmp/xmo-test-out-XXXXXX";
    char errTemplate[] = "/tmp/xmo-test-err-XXXXXX";
    const int outFd = mkstemp(outTemplate);
    const int errFd = mkstemp(errTemplate);

    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outFd, 1);
        dup2(errFd, 2);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, 0);
        if (!options.workingDir.empty() && chdir(options.workingDir.c_str()) != 0) _exit(127);
        for (const std::string& e : options.env) putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }

    ProcessResult result;
    const auto start = std::chrono::steady_clock::now();
    int status = 0;
    struct rusage usage {};
    for (;;) {
        if (wait4(pid, &status, WNOHANG, &usage) == pid) break;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > options.timeoutSeconds) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            result.timedOut = true;
            break;
        }
        if (options.whileRunning) options.whileRunning(pid, elapsed);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!result.timedOut && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    result.maxResidentKb = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    result.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    close(outFd);
    close(errFd);
    result.out = readFile(outTemplate);
    result.err = readFile(errTemplate);
    unlink(outTemplate);
    unlink(errTemplate);
    return result;
}

}  // namespace xmo::test
