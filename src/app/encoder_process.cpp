#include "app/encoder_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace xmo {

namespace {

std::string describeStatus(const std::string& name, int status) {
    if (WIFEXITED(status)) return name + " failed (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
    if (WIFSIGNALED(status))
        return name + " was ended by signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) +
               ")";
    return name + " ended abnormally";
}

}  // namespace

EncoderProcess::~EncoderProcess() {
    if (input_ >= 0) close(input_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

bool EncoderProcess::start(const std::vector<std::string>& argv, std::string& error) {
    name_ = argv.at(0);
    signal(SIGPIPE, SIG_IGN);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe to " + name_ + ": " + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], STDIN_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGXFSZ);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const int result = posix_spawnp(&pid_, name_.c_str(), &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(pipeEnds[0]);
    if (result != 0) {
        pid_ = -1;
        close(pipeEnds[1]);
        error = "cannot run " + name_ + ": " + (result == ENOENT ? "not found on PATH" : std::strerror(result));
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
    if (pid_ <= 0) {
        error = name_ + " is not running";
        return false;
    }
    close(input_);
    input_ = -1;
    int status = 0;
    pid_t waited = 0;
    while ((waited = waitpid(pid_, &status, 0)) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    if (waited < 0) {
        error = "cannot wait for " + name_ + ": " + std::strerror(errno);
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
    error = describeStatus(name_, status);
    return false;
}

}  // namespace xmo
