// Loading a generated movie of 10,000 models, 1,000 sequences and 10,000
// animations (and 4 and 16 times that), against expat alone parsing the same
// file without handlers. Prints the ratio per size and the load time per
// model, which stays flat when loading grows linearly with the file.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "movie/movie_loader.h"
#include "scene/renderer_state.h"

namespace {

namespace fs = std::filesystem;

constexpr int kModels = 10000;
constexpr int kSequences = 1000;
constexpr int kAnimationsPerSequence = 10;
constexpr int kObjects = 100;

std::string generateMovie(int scale) {
    std::ostringstream out;
    out << "<?xml version=\"1.0\"?>\n<Movie>\n <Objects>\n";
    for (int i = 1; i <= kObjects; ++i)
        out << "  <BrikObject id=\"" << i << "\" size=\"" << 1 + i % 4 << " 1 2\" color=\"" << i % 16 << "\"/>\n";
    out << " </Objects>\n <Models>\n";
    const int models = kModels * scale;
    for (int i = 1; i <= models; ++i) {
        out << "  <Model id=\"" << i << "\" objectid=\"" << 1 + i % kObjects << "\" position=\"" << i % 97 << " 0.5 "
            << -(i % 89) << "\" rotation=\"0 1 0 " << i % 360 << "\" castshadow=\"" << (i % 3 ? "false" : "true")
            << "\" mass=\"1.5\"/>\n";
    }
    out << " </Models>\n <Sequences>\n";
    for (int s = 0; s < kSequences * scale; ++s) {
        out << "  <Sequence duration=\"4\">\n   <Camera>\n    <CameraElement duration=\"4\" "
               "interpolationfunction=\"hermite\">\n     <LookAt><Point position=\"0 0 0\"/><Point position=\"1 0 "
               "0\"/></LookAt>\n     <Eye><Point position=\"0 5 -10\"/><Point position=\"3 5 -10\"/></Eye>\n"
               "    </CameraElement>\n   </Camera>\n   <Animations>\n";
        for (int a = 0; a < kAnimationsPerSequence; ++a) {
            const int model = 1 + (s * kAnimationsPerSequence + a) % models;
            out << "    <Animation modelid=\"" << model << "\" interpolationfunction=\"bspline\">\n"
                << "     <KeyFramePosition keytime=\"0\" position=\"0 0 0\"/>\n"
                << "     <KeyFramePosition keytime=\"2\" position=\"1 2 3\"/>\n"
                << "     <KeyFrameRotation keytime=\"4\" rotation=\"0 1 0 90\"/>\n    </Animation>\n";
        }
        out << "   </Animations>\n   <XFunctions><XFunction xfunctiontype=\"enablemodels\" timer1=\"1\" "
               "frommodelid=\"" << 1 + s % models << "\" tomodelid=\"" << 1 + s % models << "\"/></XFunctions>\n"
            << "  </Sequence>\n";
    }
    out << " </Sequences>\n</Movie>\n";
    return out.str();
}

// One file per size, written once and removed at exit.
const std::string& movieFile(int scale) {
    static std::map<int, std::string> files;
    std::string& path = files[scale];
    if (path.empty()) {
        path = (fs::temp_directory_path() / ("xmo-bench-" + std::to_string(scale) + "x.xmo")).string();
        std::ofstream(path, std::ios::binary) << generateMovie(scale);
        static struct Cleanup {
            ~Cleanup() {
                for (const auto& entry : files) fs::remove(entry.second);
            }
        } cleanup;
    }
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class NoMedia : public xmo::MediaLoader {
public:
    void loadFont(xmo::Text&, const char*, xmo::Diagnostics&) override {}
    void loadTile(xmo::Tiles&, const char*, xmo::Diagnostics&) override {}
};

void BM_ExpatAlone(benchmark::State& state) {
    const std::string& path = movieFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        const std::string text = readFile(path);
        XML_Parser parser = XML_ParserCreate(nullptr);
        const auto status = XML_Parse(parser, text.data(), static_cast<int>(text.size()), XML_TRUE);
        XML_ParserFree(parser);
        if (status != XML_STATUS_OK) state.SkipWithError("expat rejected the generated movie");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(path)));
}

void BM_LoadMovie(benchmark::State& state) {
    const std::string& path = movieFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        NoMedia media;
        xmo::PhysicsWorld physics;
        xmo::LightCounter lights;
        xmo::Diagnostics diagnostics;
        std::ostream discard(nullptr);
        xmo::LoadServices services{media, physics, lights, discard, discard, diagnostics};
        auto movie = xmo::loadMovie(path, services);
        benchmark::DoNotOptimize(movie.get());
        // Freeing the movie is not part of loading it.
        state.PauseTiming();
        movie.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(path)));
}

// The machine may be shared: medians of three repetitions compare better.
BENCHMARK(BM_ExpatAlone)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();
BENCHMARK(BM_LoadMovie)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->Repetitions(3)->ReportAggregatesOnly();

// Keeps the console output and remembers each benchmark's median time.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;  // in the runs' time unit (ms)
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int scale : {1, 4, 16}) {
        const std::string arg = "/" + std::to_string(scale);
        const auto load = reporter.times.find("BM_LoadMovie" + arg);
        const auto expat = reporter.times.find("BM_ExpatAlone" + arg);
        if (load == reporter.times.end() || expat == reporter.times.end()) continue;
        std::printf("movie load %2dx (%d models): %.1f ms, expat alone %.1f ms, ratio %.2f, %.0f ns per model\n",
                    scale, kModels * scale, load->second, expat->second, load->second / expat->second,
                    load->second * 1e6 / (kModels * scale));
    }
    benchmark::Shutdown();
    return 0;
}
