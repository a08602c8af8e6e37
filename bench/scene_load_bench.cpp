// Scene loading speed and memory, against two baselines in the same run:
//   floor   expat over the same file with every number of every attribute
//           converted (what any loader of this format must at least do),
//           in this process, like the load it is set against;
//   assimp  `assimp info FILE -r` (its X3D importer, without post-processing),
//           set against a process of this program that loads the file once
//           and ends: both whole processes, started alike, best of N each.
// Files of about 10k, 100k and 1M quads are generated, one Shape per 2,500
// quads (a 50 x 50 grid). Peak memory is the growth of the resident
// high-water mark over the load in that process of its own, which has loaded
// nothing before, compared with the mesh data held.
//
// Usage: scene_load_bench [--no-assimp] [--max-quads N] [--runs N]
//        scene_load_bench --load-once FILE   (prints PEAK_BYTES MESH_BYTES POLYGONS)
#include <expat.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "generated_scene.h"
#include "scene/scene_loader.h"

namespace {

using Clock = std::chrono::steady_clock;
using xmo::bench::kGridQuads;

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

template <typename F>
double bestOf(int runs, F&& f) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        f();
        best = std::min(best, seconds(Clock::now() - start));
    }
    return best;
}

// The floor: parse the file as it is and convert every number found in any
// attribute value.
struct FloorState {
    double sum = 0.0;
    std::size_t numbers = 0;
};

void XMLCALL floorStart(void* data, const XML_Char*, const XML_Char** attributes) {
    auto* state = static_cast<FloorState*>(data);
    for (const XML_Char** a = attributes; *a; a += 2) {
        const char* p = a[1];
        const char* end = p + std::strlen(p);
        while (p < end) {
            while (p < end && !(std::isdigit(static_cast<unsigned char>(*p)) || *p == '-' || *p == '.')) ++p;
            if (p >= end) break;
            float v = 0.0f;
            const auto r = std::from_chars(p, end, v);
            if (r.ec != std::errc()) {
                ++p;
                continue;
            }
            state->sum += v;
            ++state->numbers;
            p = r.ptr;
        }
    }
}

// The file goes straight into expat's own buffer, so the floor pays for no
// copy or stream that a loader could avoid.
double floorParse(const std::string& path) {
    const std::size_t size = static_cast<std::size_t>(std::filesystem::file_size(path));
    XML_Parser parser = XML_ParserCreate(nullptr);
    FloorState state;
    XML_SetUserData(parser, &state);
    XML_SetStartElementHandler(parser, floorStart);
    void* buffer = XML_GetBuffer(parser, static_cast<int>(size));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const std::size_t got = file && buffer ? std::fread(buffer, 1, size, file) : 0;
    if (file) std::fclose(file);
    if (XML_ParseBuffer(parser, static_cast<int>(got), XML_TRUE) == XML_STATUS_ERROR)
        std::fprintf(stderr, "floor parse failed: %s\n", path.c_str());
    XML_ParserFree(parser);
    return state.sum;
}

struct MeshSize {
    std::size_t bytes = 0;
    long polygons = 0;
};

MeshSize meshSize(const xmo::Group& group) {
    MeshSize size;
    for (const auto& child : group.children) {
        if (auto* g = dynamic_cast<const xmo::Group*>(child.get())) {
            const MeshSize inner = meshSize(*g);
            size.bytes += inner.bytes;
            size.polygons += inner.polygons;
        }
        auto* shape = dynamic_cast<const xmo::Shape*>(child.get());
        auto* mesh = shape ? dynamic_cast<const xmo::IndexedFaceSet*>(shape->geometry.get()) : nullptr;
        if (!mesh) continue;
        size.bytes += mesh->coordIndex.capacity() * sizeof(int) + mesh->normalIndex.capacity() * sizeof(int);
        if (mesh->coord) size.bytes += mesh->coord->point.capacity() * sizeof(xmo::Vec3f);
        if (mesh->normal) size.bytes += mesh->normal->vector.capacity() * sizeof(xmo::Vec3f);
        size.polygons += std::count(mesh->coordIndex.begin(), mesh->coordIndex.end(), -1);
    }
    return size;
}

std::unique_ptr<xmo::Scene> loadOnce(const std::string& path) {
    std::ostringstream progress, errors;
    xmo::Diagnostics diagnostics;
    return xmo::loadSceneFile(path, progress, errors, diagnostics);
}

// The resident high-water mark of this process in bytes (VmHWM). Unlike
// ru_maxrss it belongs to the process's own memory: it starts afresh at exec
// instead of keeping the peak of the process that started it.
long residentPeakBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6) * 1024;
    return -1;
}

// --load-once: one load in a process that has loaded nothing before.
int loadOnceAndReport(const std::string& path) {
    const long before = residentPeakBytes();
    const auto scene = loadOnce(path);
    const long after = residentPeakBytes();
    if (!scene || before < 0 || after < 0) return 1;
    const MeshSize size = meshSize(*scene);
    std::printf("%ld %zu %ld\n", after - before, size.bytes, size.polygons);
    return 0;
}

struct ProcessRun {
    bool ok = false;
    double wall = 0.0, cpu = 0.0;  // seconds
    std::string output;
};

double cpuSeconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// Runs argv to its end with standard error on /dev/null, keeping its
// standard output.
ProcessRun runProcess(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ProcessRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    char buffer[4096];
    for (ssize_t got; (got = read(fds[0], buffer, sizeof buffer)) > 0;)
        run.output.append(buffer, static_cast<std::size_t>(got));
    close(fds[0]);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || wait4(child, &status, 0, &usage) != child) return run;
    run.wall = seconds(Clock::now() - start);
    run.cpu = cpuSeconds(usage.ru_utime) + cpuSeconds(usage.ru_stime);
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The fastest of `runs` runs of a whole process (wall and processor time
// apart), with the output of the first; not ok when any run failed.
ProcessRun bestProcessRun(int runs, const std::vector<std::string>& args) {
    ProcessRun best;
    for (int i = 0; i < runs; ++i) {
        const ProcessRun run = runProcess(args);
        if (!run.ok) return run;
        if (i == 0) {
            best = run;
        } else {
            best.wall = std::min(best.wall, run.wall);
            best.cpu = std::min(best.cpu, run.cpu);
        }
    }
    return best;
}

// The face count that `assimp info` reports, or -1.
long assimpFaces(const std::string& output) {
    const std::size_t at = output.find("\nFaces:");
    return at == std::string::npos ? -1 : std::atol(output.c_str() + at + 7);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--load-once") == 0) return loadOnceAndReport(argv[2]);
    bool withAssimp = std::system("command -v assimp > /dev/null 2>&1") == 0;
    long maxQuads = 1000000;
    int fixedRuns = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-assimp") == 0) {
            withAssimp = false;
        } else if (std::strcmp(argv[i], "--max-quads") == 0 && i + 1 < argc) {
            maxQuads = std::atol(argv[++i]);
        } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            fixedRuns = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr, "usage: scene_load_bench [--no-assimp] [--max-quads N] [--runs N]\n");
            return 2;
        }
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "xmo-scene-bench";
    std::filesystem::create_directories(folder);

    std::printf("load, floor: in this process. process, assimp: whole processes, this loader alone\n"
                "(scene_load_bench --load-once FILE) against `assimp info FILE -r` (its X3D importer, no\n"
                "post-processing). Each time is the best of `runs`; x faster: assimp / process in wall time,\n"
                "x cpu: the same in processor time. peak: the growth of the resident high-water mark over\n"
                "the load, in that process of its own.\n");
    std::printf("%9s %8s %5s %9s %9s %7s %9s %9s %8s %6s %8s %8s %6s\n", "quads", "file MB", "runs", "load s",
                "floor s", "x floor", "process s", "assimp s", "x faster", "x cpu", "peak MB", "mesh MB", "ratio");
    int status = 0;
    for (const int shapes : {4, 40, 400}) {
        const long quads = static_cast<long>(shapes) * kGridQuads * kGridQuads;
        if (quads > maxQuads) break;
        const std::string path = (folder / ("grid_" + std::to_string(quads) + ".x3d")).string();
        {
            const std::string text = xmo::bench::generateScene(shapes, false);
            std::ofstream(path, std::ios::binary) << text;
        }
        const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
        const int runs = fixedRuns > 0 ? fixedRuns : quads >= 1000000 ? 3 : 7;

        volatile double sink = 0.0;
        const double floor = bestOf(runs, [&] { sink = sink + floorParse(path); });
        const double load = bestOf(runs, [&] {
            auto scene = loadOnce(path);
            if (!scene) std::fprintf(stderr, "load failed: %s\n", path.c_str());
        });

        const ProcessRun ours = bestProcessRun(runs, {"/proc/self/exe", "--load-once", path});
        long peak = 0, polygons = 0;
        std::size_t mesh = 0;
        if (!ours.ok || std::sscanf(ours.output.c_str(), "%ld %zu %ld", &peak, &mesh, &polygons) != 3 ||
            polygons != quads) {
            std::fprintf(stderr, "scene_load_bench: %s did not load whole in a process of its own\n", path.c_str());
            status = 1;
            continue;
        }
        char assimpText[16] = "n/a", fasterText[16] = "n/a", cpuText[16] = "n/a";
        if (withAssimp) {
            const ProcessRun assimp = bestProcessRun(runs, {"assimp", "info", path, "-r"});
            if (assimp.ok && assimpFaces(assimp.output) == quads) {
                std::snprintf(assimpText, sizeof assimpText, "%.3f", assimp.wall);
                std::snprintf(fasterText, sizeof fasterText, "%.1f", assimp.wall / ours.wall);
                std::snprintf(cpuText, sizeof cpuText, "%.1f", assimp.cpu / ours.cpu);
            } else {
                std::fprintf(stderr, "scene_load_bench: assimp did not load the %ld quads of %s\n", quads,
                             path.c_str());
            }
        }
        std::printf("%9ld %8.1f %5d %9.4f %9.4f %7.2f %9.4f %9s %8s %6s %8.1f %8.1f %6.2f\n", quads, fileMb, runs,
                    load, floor, load / floor, ours.wall, assimpText, fasterText, cpuText,
                    static_cast<double>(peak) / 1e6, static_cast<double>(mesh) / 1e6,
                    mesh > 0 ? static_cast<double>(peak) / static_cast<double>(mesh) : 0.0);
        std::fflush(stdout);
    }
    return status;
}
