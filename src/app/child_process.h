// Programs that xmotool runs: ffmpeg and ffprobe, and copies of
// xmotool-render for the parts of an export.
//
// What a child writes on its standard error (and, when asked, its standard
// output) is kept in an anonymous in-memory file and read once it has ended:
// a program that fails says why there, and a caller that shows that reason
// itself needs it whole. Memory, not a file beside the output, because the
// disk may be the very thing that is full. Signals the caller ignores or
// catches (SIGPIPE, SIGINT, SIGTERM, SIGXFSZ) are set back to their defaults
// in the child.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace xmo {

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A child still running is ended (SIGTERM) and waited for.
    ~ChildProcess();

    // Starts argv[0], searched on PATH, with the other arguments. `input`,
    // when not -1, becomes its standard input (the child gets its own copy);
    // its standard output is kept when keepOutput, else shared with ours.
    // False with the reason when it cannot be started (not installed, for one).
    bool start(const std::vector<std::string>& argv, int input, bool keepOutput, std::string& error);

    // Waits for the child to end; true when it has (always, unless waiting
    // fails, then with the reason).
    bool wait(std::string& error);
    // True once the child has ended, without waiting for it.
    bool hasEnded();
    // Asks a running child to end (SIGTERM).
    void stop();

    // After it ended: whether it exited with status 0, and how it ended in
    // words ("NAME failed (exit status 3)", "NAME was ended by signal 9 (Killed)").
    bool succeeded() const;
    int exitCode() const;  // -1 when it did not exit by itself
    std::string describeEnd() const;
    // What it wrote on its standard error, and on its standard output when kept.
    std::string errors() const;
    std::string output() const;

private:
    void ended(int status);

    std::string name_;
    pid_t pid_ = -1;
    int status_ = -1;
    int errors_ = -1;  // in-memory files
    int output_ = -1;
};

// The last line of a program's error text that says anything, for a
// one-line reason; empty when there is none.
std::string lastLine(const std::string& text);

// Whether a child that prints only its errors ended well: exit status 0 and
// nothing said. Otherwise false, with how it ended and the last thing it said.
bool endedCleanly(const ChildProcess& process, std::string& reason);

}  // namespace xmo
