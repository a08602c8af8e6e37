// Loading a film whose one model is a scene of a million shadow-casting
// quads (400 shapes of 2,500), against expat alone over the scene file in
// the same run:
//   xmotool check, whole processes (goal: at most 1.5x expat alone's
//   process): the tool builds nothing that only drawing uses;
//   the player's load (goal: at most 1.8x expat alone's process): flat
//   normals, shadow faces and their neighbours included, in a process of
//   its own (this program started again with --load FILM), so that no
//   earlier load has warmed its heap.
// Each figure is the best of its runs, in wall time and in processor time
// (user and system), which other work on a shared machine disturbs less.
//
// Usage: large_scene_film_bench [SHAPES]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "expat_alone.h"
#include "generated_scene.h"
#include "movie/load_services.h"
#include "movie/movie_loader.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 5;

struct Times {
    double wall = 1e30;
    double cpu = 1e30;
};

double milliseconds(const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; }

// The best of kRuns runs of a whole process, its output discarded.
Times bestProcess(const std::vector<std::string>& args) {
    Times best;
    for (int i = 0; i < kRuns; ++i) {
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        std::fflush(stdout);
        const auto start = Clock::now();
        const pid_t child = fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "large_scene_film_bench: %s failed\n", args[0].c_str());
            std::exit(1);
        }
        best.wall = std::min(best.wall, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        best.cpu = std::min(best.cpu, milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime));
    }
    return best;
}

// The player's load of the film, without a window: what start-up does
// between the world and the music.
int loadAsThePlayerDoes(const char* film) {
    xmo::QuietLoadServices quiet;
    quiet.services.meshUse = xmo::MeshUse::Drawing;
    return xmo::loadMovie(film, quiet.services)->objects.front()->loaded ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--load") return loadAsThePlayerDoes(argv[2]);
    const int shapes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 400;
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("xmo-large-scene-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string scene = (dir / "grid.x3d").string(), film = (dir / "grid.xmo").string();
    std::ofstream(scene, std::ios::binary) << xmo::bench::generateScene(shapes, true);
    std::ofstream(film, std::ios::binary) << xmo::bench::generateSceneFilm(scene);
    const long quads = static_cast<long>(shapes) * xmo::bench::kGridQuads * xmo::bench::kGridQuads;
    std::printf("a film of %ld shadow-casting quads (%.1f MB of scene)\n", quads,
                static_cast<double>(fs::file_size(scene)) / 1e6);

    const Times expatProcess = bestProcess({EXPAT_ALONE_BIN, scene});
    const Times check = bestProcess({XMOTOOL_BIN, "check", film});
    std::printf("xmotool check: %.0f ms wall, %.0f ms processor; expat alone %.0f ms, %.0f ms; ratio %.2f wall, "
                "%.2f processor (goal: at most 1.5)\n",
                check.wall, check.cpu, expatProcess.wall, expatProcess.cpu, check.wall / expatProcess.wall,
                check.cpu / expatProcess.cpu);

    const Times load = bestProcess({"/proc/self/exe", "--load", film});
    std::printf("the player's load (meshes for drawing): %.0f ms wall, %.0f ms processor; ratio %.2f wall, %.2f "
                "processor (goal: at most 1.8)\n",
                load.wall, load.cpu, load.wall / expatProcess.wall, load.cpu / expatProcess.cpu);
    fs::remove_all(dir);
    return 0;
}
