// The whole `xmotool check` process against a process that only runs expat
// over the same file without handlers, on the generated movie at 1x, 4x and
// 16x (bench/generated_movie.h). Both are started alternately in the same
// run, their output discarded; the medians give the ratio per size, and the
// time per model shows whether checking stays linear in the file's size.
// Each process is measured by its wall time and by the processor time it
// used (user and system), which other work on a shared machine disturbs far
// less. `xmotool --version` is timed too: the start-up every subcommand pays.
//
// Usage: movie_check_process_bench [ROUNDS [MAX_SCALE]]   (MAX_SCALE: 1, 4 or 16, the default)
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "generated_movie.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
    double wallMs = -1.0;
    double cpuMs = -1.0;
    bool ok = false;
};

double milliseconds(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// Runs argv with standard output and error on /dev/null; ok when it exited 0.
Run run(const std::vector<std::string>& args) {
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
    rusage usage{};
    Run r;
    if (child < 0 || wait4(child, &status, 0, &usage) != child) return r;
    r.wallMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    r.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
    r.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return r;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Medians {
    double wall = 0.0;
    double cpu = 0.0;
};

struct Timing {
    Medians check, expat;
    bool ok = true;
};

Medians medians(const std::vector<Run>& runs) {
    std::vector<double> wall, cpu;
    for (const Run& r : runs) {
        wall.push_back(r.wallMs);
        cpu.push_back(r.cpuMs);
    }
    return {median(wall), median(cpu)};
}

Timing timeScale(int scale, int rounds) {
    const xmo::bench::GeneratedMovieFile movie(scale);
    std::vector<Run> check, expat;
    Timing timing;
    for (int i = 0; i < rounds; ++i) {
        expat.push_back(run({EXPAT_ALONE_BIN, movie.path()}));
        check.push_back(run({XMOTOOL_BIN, "check", movie.path()}));
        if (!expat.back().ok || !check.back().ok) timing.ok = false;
    }
    timing.check = medians(check);
    timing.expat = medians(expat);
    return timing;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const int maxScale = argc > 2 ? std::atoi(argv[2]) : 16;
    std::vector<Run> startup;
    for (int i = 0; i < rounds; ++i) startup.push_back(run({XMOTOOL_BIN, "--version"}));
    const Medians start = medians(startup);
    std::printf("xmotool start-up (--version): %.1f ms wall, %.1f ms processor\n", start.wall, start.cpu);

    double perModelAt1x = 0.0;
    for (int scale : {1, 4, 16}) {
        if (scale > maxScale) break;
        const Timing t = timeScale(scale, scale == 16 ? std::max(1, rounds / 2) : rounds);
        if (!t.ok) {
            std::printf("check %2dx: a run failed (xmotool check must exit 0 on the generated movie)\n", scale);
            return 1;
        }
        const double perModel = t.check.cpu * 1e6 / (xmo::bench::kModels * scale);
        if (scale == 1) perModelAt1x = perModel;
        std::printf("check process %2dx (%d models): wall %.1f ms vs expat alone %.1f ms, ratio %.2f; "
                    "processor %.1f ms vs %.1f ms, ratio %.2f; %.0f ns per model (%.2f of 1x)\n",
                    scale, xmo::bench::kModels * scale, t.check.wall, t.expat.wall, t.check.wall / t.expat.wall,
                    t.check.cpu, t.expat.cpu, t.check.cpu / t.expat.cpu, perModel, perModel / perModelAt1x);
    }
    return 0;
}
