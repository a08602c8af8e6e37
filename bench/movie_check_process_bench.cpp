// The whole `xmotool check` process against a process that only runs expat
// over the same file without handlers, on the generated movie at 1x, 4x and
// 16x (bench/generated_movie.h). Both are started alternately in the same
// run, their output discarded; the medians give the ratio per size, and the
// time per model shows whether checking stays linear in the file's size.
// `xmotool --version` is timed too: the start-up every subcommand pays.
//
// Usage: movie_check_process_bench [ROUNDS]
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <vector>

#include "generated_movie.h"

namespace {

using Clock = std::chrono::steady_clock;

// Runs argv with standard output and error on /dev/null; the wall time in
// milliseconds, or a negative value when the program did not exit 0.
double runMilliseconds(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1.0;
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1.0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Timing {
    double check = 0.0;
    double expat = 0.0;
    bool ok = true;
};

Timing timeScale(int scale, int rounds) {
    const xmo::bench::GeneratedMovieFile movie(scale);
    std::vector<double> check, expat;
    Timing timing;
    for (int i = 0; i < rounds; ++i) {
        expat.push_back(runMilliseconds({EXPAT_ALONE_BIN, movie.path()}));
        check.push_back(runMilliseconds({XMOTOOL_BIN, "check", movie.path()}));
        if (expat.back() < 0.0 || check.back() < 0.0) timing.ok = false;
    }
    timing.check = median(check);
    timing.expat = median(expat);
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    std::vector<double> startup;
    for (int i = 0; i < rounds; ++i) startup.push_back(runMilliseconds({XMOTOOL_BIN, "--version"}));
    std::printf("xmotool start-up (--version): %.1f ms\n", median(startup));

    double perModelAt1x = 0.0;
    for (int scale : {1, 4, 16}) {
        const Timing t = timeScale(scale, scale == 16 ? std::max(1, rounds / 2) : rounds);
        if (!t.ok) {
            std::printf("check %2dx: a run failed (xmotool check must exit 0 on the generated movie)\n", scale);
            return 1;
        }
        const double perModel = t.check * 1e6 / (xmo::bench::kModels * scale);
        if (scale == 1) perModelAt1x = perModel;
        std::printf("check process %2dx (%d models): %.1f ms, expat alone %.1f ms, ratio %.2f, "
                    "%.0f ns per model (%.2f of 1x)\n",
                    scale, xmo::bench::kModels * scale, t.check, t.expat, t.check / t.expat, perModel,
                    perModel / perModelAt1x);
    }
    return 0;
}
