// Scene loading speed and memory, against two baselines in the same run:
//   floor   expat over the same file with every number of every attribute
//           converted (what any loader of this format must at least do);
//   assimp  `assimp info FILE` (its X3D importer), where it loads the file.
// Files of about 10k, 100k and 1M quads are generated, one Shape per 2,500
// quads (a 50 x 50 grid). Peak memory is measured in a child process per size
// (maxrss growth over the load) and compared with the mesh data held.
//
// Usage: scene_load_bench [--no-assimp] [--max-quads N]
#include <expat.h>
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

#include "scene/scene_loader.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kGrid = 50;  // quads per side of one shape

std::string generateScene(int shapes) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<X3D profile=\"Interchange\" version=\"3.2\">\n"
                       "<Scene>\n<Group DEF=\"Object\">\n";
    char number[64];
    for (int s = 0; s < shapes; ++s) {
        text += "<Shape>\n<Appearance><Material diffuseColor=\"0.8 0.2 0.1\"/></Appearance>\n";
        text += "<IndexedFaceSet coordIndex=\"";
        for (int i = 0; i < kGrid; ++i) {
            for (int j = 0; j < kGrid; ++j) {
                const int a = i * (kGrid + 1) + j;
                std::snprintf(number, sizeof number, "%d %d %d %d -1 ", a, a + 1, a + kGrid + 2, a + kGrid + 1);
                text += number;
            }
            text += "\n";
        }
        text += "\">\n<Coordinate point=\"";
        for (int i = 0; i <= kGrid; ++i) {
            for (int j = 0; j <= kGrid; ++j) {
                const float x = static_cast<float>(s % 20) * 5.1f + static_cast<float>(j) * 0.1f;
                const float y = std::sin(static_cast<float>(i + j) * 0.05f);
                const float z = static_cast<float>(s / 20) * 5.1f + static_cast<float>(i) * 0.1f;
                std::snprintf(number, sizeof number, "%.4f %.4f %.4f, ", x, y, z);
                text += number;
            }
            text += "\n";
        }
        text += "\"/>\n</IndexedFaceSet>\n</Shape>\n";
    }
    text += "</Group>\n</Scene>\n</X3D>\n";
    return text;
}

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

std::size_t meshBytes(const xmo::Group& group) {
    std::size_t bytes = 0;
    for (const auto& child : group.children) {
        if (auto* g = dynamic_cast<const xmo::Group*>(child.get())) bytes += meshBytes(*g);
        auto* shape = dynamic_cast<const xmo::Shape*>(child.get());
        auto* mesh = shape ? dynamic_cast<const xmo::IndexedFaceSet*>(shape->geometry.get()) : nullptr;
        if (!mesh) continue;
        bytes += mesh->coordIndex.capacity() * sizeof(int) + mesh->normalIndex.capacity() * sizeof(int);
        if (mesh->coord) bytes += mesh->coord->point.capacity() * sizeof(xmo::Vec3f);
        if (mesh->normal) bytes += mesh->normal->vector.capacity() * sizeof(xmo::Vec3f);
    }
    return bytes;
}

std::unique_ptr<xmo::Scene> loadOnce(const std::string& path) {
    std::ostringstream progress, errors;
    xmo::Diagnostics diagnostics;
    return xmo::loadSceneFile(path, progress, errors, diagnostics);
}

long maxRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Peak memory growth of one load, measured in a fresh child so earlier
// loads do not hide it: {growth in bytes, mesh bytes}.
std::pair<double, double> measureMemory(const std::string& path) {
    int fds[2];
    if (pipe(fds) != 0) return {0, 0};
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const long before = maxRssKb();
        auto scene = loadOnce(path);
        const double values[2] = {static_cast<double>(maxRssKb() - before) * 1024.0,
                                  scene ? static_cast<double>(meshBytes(*scene)) : 0.0};
        if (write(fds[1], values, sizeof values) != static_cast<ssize_t>(sizeof values)) _exit(1);
        _exit(0);
    }
    close(fds[1]);
    double values[2] = {0, 0};
    if (read(fds[0], values, sizeof values) != static_cast<ssize_t>(sizeof values)) values[0] = values[1] = 0;
    close(fds[0]);
    waitpid(child, nullptr, 0);
    return {values[0], values[1]};
}

// Wall time of `assimp info`, or a negative value when it fails to load.
double assimpInfo(const std::string& path) {
    const std::string command = "assimp info '" + path + "' > /dev/null 2>&1";
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const double t = seconds(Clock::now() - start);
    return status == 0 ? t : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
    bool withAssimp = std::system("command -v assimp > /dev/null 2>&1") == 0;
    long maxQuads = 1000000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-assimp") == 0) withAssimp = false;
        if (std::strcmp(argv[i], "--max-quads") == 0 && i + 1 < argc) maxQuads = std::atol(argv[++i]);
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "xmo-scene-bench";
    std::filesystem::create_directories(folder);

    std::printf("%9s %9s %10s %10s %7s %10s %8s %10s %10s %6s\n", "quads", "file MB", "load s", "floor s",
                "x floor", "assimp s", "x faster", "peak MB", "mesh MB", "ratio");
    for (const int shapes : {4, 40, 400}) {
        const long quads = static_cast<long>(shapes) * kGrid * kGrid;
        if (quads > maxQuads) break;
        const std::string path = (folder / ("grid_" + std::to_string(quads) + ".x3d")).string();
        {
            const std::string text = generateScene(shapes);
            std::ofstream(path, std::ios::binary) << text;
        }
        const double fileMb = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
        const int runs = quads >= 1000000 ? 3 : 7;

        volatile double sink = 0.0;
        const double floor = bestOf(runs, [&] { sink = sink + floorParse(path); });
        const double load = bestOf(runs, [&] {
            auto scene = loadOnce(path);
            if (!scene) std::fprintf(stderr, "load failed: %s\n", path.c_str());
        });
        const double assimp = withAssimp ? assimpInfo(path) : -1.0;
        const auto [peak, mesh] = measureMemory(path);

        char assimpText[32] = "n/a", fasterText[32] = "n/a";
        if (assimp > 0) {
            std::snprintf(assimpText, sizeof assimpText, "%.3f", assimp);
            std::snprintf(fasterText, sizeof fasterText, "%.1f", assimp / load);
        }
        std::printf("%9ld %9.1f %10.4f %10.4f %7.2f %10s %8s %10.1f %10.1f %6.2f\n", quads, fileMb, load, floor,
                    load / floor, assimpText, fasterText, peak / 1e6, mesh / 1e6, mesh > 0 ? peak / mesh : 0.0);
        std::fflush(stdout);
    }
    return 0;
}
