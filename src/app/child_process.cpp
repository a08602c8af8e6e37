#include "app/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace xmo {

namespace {

// More than any program we run says about one failure; the rest is not read.
constexpr std::size_t kMaxKeptText = 1 << 20;

std::string readKept(int fd) {
    std::string text;
    if (fd < 0 || lseek(fd, 0, SEEK_SET) != 0) return text;
    char block[4096];
    ssize_t n = 0;
    while (text.size() < kMaxKeptText && ((n = read(fd, block, sizeof block)) > 0 || (n < 0 && errno == EINTR)))
        if (n > 0) text.append(block, static_cast<std::size_t>(n));
    return text;
}

void closeFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        stop();
        std::string ignored;
        wait(ignored);
    }
    closeFd(errors_);
    closeFd(output_);
}

bool ChildProcess::start(const std::vector<std::string>& argv, int input, bool keepOutput, std::string& error) {
    name_ = argv.at(0);
    errors_ = memfd_create("errors", MFD_CLOEXEC);
    if (keepOutput) output_ = memfd_create("output", MFD_CLOEXEC);
    if (errors_ < 0 || (keepOutput && output_ < 0)) {
        error = "cannot run " + name_ + ": " + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0) posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    if (keepOutput) posix_spawn_file_actions_adddup2(&actions, output_, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors_, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (const int s : {SIGPIPE, SIGINT, SIGTERM, SIGXFSZ}) sigaddset(&defaults, s);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int result = posix_spawnp(&pid_, name_.c_str(), &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (result != 0) {
        pid_ = -1;
        error = "cannot run " + name_ + ": " + (result == ENOENT ? "not found on PATH" : std::strerror(result));
        return false;
    }
    return true;
}

void ChildProcess::ended(int status) {
    pid_ = -1;
    status_ = status;
}

bool ChildProcess::wait(std::string& error) {
    if (pid_ <= 0) return true;
    int status = 0;
    pid_t waited = 0;
    while ((waited = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    if (waited < 0) {
        error = "cannot wait for " + name_ + ": " + std::strerror(errno);
        return false;
    }
    ended(status);
    return true;
}

bool ChildProcess::hasEnded() {
    if (pid_ <= 0) return true;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return false;
    ended(status);
    return true;
}

void ChildProcess::stop() {
    if (pid_ > 0) kill(pid_, SIGTERM);
}

bool ChildProcess::succeeded() const { return exitCode() == 0; }

int ChildProcess::exitCode() const { return status_ >= 0 && WIFEXITED(status_) ? WEXITSTATUS(status_) : -1; }

std::string ChildProcess::describeEnd() const {
    if (WIFEXITED(status_)) return name_ + " failed (exit status " + std::to_string(WEXITSTATUS(status_)) + ")";
    if (WIFSIGNALED(status_))
        return name_ + " was ended by signal " + std::to_string(WTERMSIG(status_)) + " (" +
               strsignal(WTERMSIG(status_)) + ")";
    return name_ + " ended abnormally";
}

std::string ChildProcess::errors() const { return readKept(errors_); }

std::string ChildProcess::output() const { return readKept(output_); }

std::string lastLine(const std::string& text) {
    std::size_t end = text.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) return {};
    const std::size_t start = text.rfind('\n', end);
    const std::size_t first = start == std::string::npos ? 0 : start + 1;
    return text.substr(first, end + 1 - first);
}

bool endedCleanly(const ChildProcess& process, std::string& reason) {
    const std::string said = lastLine(process.errors());
    if (process.succeeded() && said.empty()) return true;
    reason = process.succeeded() ? said : process.describeEnd() + (said.empty() ? "" : ": " + said);
    return false;
}

}  // namespace xmo
