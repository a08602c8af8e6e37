// Loading a generated movie of 10,000 models, 1,000 sequences and 10,000
// animations (and 4 and 16 times that), against expat alone parsing the same
// file without handlers. Prints the ratios of real and of processor time per
// size (processor time is less disturbed on a shared machine) and the load
// time per model, which stays flat when loading grows linearly with the file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "expat_alone.h"
#include "generated_movie.h"
#include "movie/movie_loader.h"

namespace {

namespace fs = std::filesystem;
using xmo::bench::kModels;

// One file per size, written once and removed at exit.
const std::string& movieFile(int scale) {
    static std::map<int, std::unique_ptr<xmo::bench::GeneratedMovieFile>> files;
    auto& file = files[scale];
    if (!file) file = std::make_unique<xmo::bench::GeneratedMovieFile>(scale);
    return file->path();
}

void BM_ExpatAlone(benchmark::State& state) {
    const std::string& path = movieFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
        if (!xmo::bench::parseWithExpatAlone(path.c_str())) state.SkipWithError("expat rejected the generated movie");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(fs::file_size(path)));
}

void BM_LoadMovie(benchmark::State& state) {
    const std::string& path = movieFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        xmo::QuietLoadServices quiet;
        auto movie = xmo::loadMovie(path, quiet.services);
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
                times[run.run_name.function_name + "/" + run.run_name.args] = {run.GetAdjustedRealTime(),
                                                                              run.GetAdjustedCPUTime()};
    }
    struct Times {
        double real, cpu;
    };
    std::map<std::string, Times> times;  // in the runs' time unit (ms)
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
        const auto& l = load->second;
        const auto& e = expat->second;
        std::printf("movie load %2dx (%d models): real %.1f ms vs expat alone %.1f ms, ratio %.2f; "
                    "processor %.1f ms vs %.1f ms, ratio %.2f; %.0f ns per model\n",
                    scale, kModels * scale, l.real, e.real, l.real / e.real, l.cpu, e.cpu, l.cpu / e.cpu,
                    l.cpu * 1e6 / (kModels * scale));
    }
    benchmark::Shutdown();
    return 0;
}
