// Stepping a heap of resting boxes through OdeWorld against the same world
// stepped by ODE alone (same bodies, geometry, contact surface, space and
// solver, without the program's rules), at 20 and 200 boxes. Prints the cost
// ratio per size, and the heap allocations per frame once the heap has
// settled: calls of operator new (the program's side) and calls of ODE's own
// allocator, counted apart.
#include <benchmark/benchmark.h>
#include <ode/ode.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>

#include "engine_alloc_counter.h"
#include "new_counter.h"
#include "physics/ode_world.h"

namespace {

constexpr float kFrameTime = 1.0f / 30.0f;
constexpr double kSettleSeconds = 3.0;
constexpr int kCountedFrames = 100;

// Layers of boxes, each layer shifted by half a box, over a square of
// columns: they fall onto one another and settle into a heap.
xmo::Vec3f heapPosition(int i, int count) {
    const int side = static_cast<int>(std::ceil(std::sqrt(count / 4.0)));
    const int layer = i / (side * side);
    const float shift = (layer % 2) * 0.5f;
    return {(i % side) * 1.05f + shift, 0.6f + layer * 1.1f, ((i / side) % side) * 1.05f + shift};
}

class GlueHeap {
public:
    explicit GlueHeap(int count) {
        for (int i = 0; i < count; ++i) {
            auto model = std::make_unique<xmo::Model>();
            model->id = i;
            model->physicalbased = true;
            model->mass = 1.0f;
            model->boxsize = {1, 1, 1};
            model->position = heapPosition(i, count);
            movie_.models.push_back(std::move(model));
        }
        world_.createGroundPlane();
        world_.buildPhysicalModels(movie_);
        world_.createJoints(movie_);
        for (auto& model : movie_.models) model->setEnabled(true);
        world_.applyContacts(movie_);
    }
    void frame() { xmo::stepPhysicsForFrame(world_, kFrameTime); }

private:
    xmo::Movie movie_;
    xmo::OdeWorld world_;
};

class RawHeap {
public:
    explicit RawHeap(int count) {
        dInitODE2(0);
        dAllocateODEDataForThread(dAllocateMaskAll);
        dRandSetSeed(0);
        world_ = dWorldCreate();
        dWorldSetGravity(world_, 0, -9.81, 0);
        dWorldSetContactMaxCorrectingVel(world_, 1.0);
        dWorldSetContactSurfaceLayer(world_, 0.001);
        space_ = dSimpleSpaceCreate(nullptr);
        contacts_ = dJointGroupCreate(0);
        dCreatePlane(space_, 0, 1, 0, 0);
        surface_.mode = dContactMu2 | dContactBounce | dContactSoftCFM;
        surface_.mu = surface_.mu2 = 30;
        surface_.bounce_vel = 0.001;
        surface_.soft_cfm = 0.0005;
        for (int i = 0; i < count; ++i) {
            const dBodyID body = dBodyCreate(world_);
            const xmo::Vec3f p = heapPosition(i, count);
            dBodySetPosition(body, p.e[0], p.e[1], p.e[2]);
            dMass mass;
            dMassSetParameters(&mass, 1, 0, 0, 0, 0.4, 0.4, 0.4, 0, 0, 0);
            dBodySetMass(body, &mass);
            dGeomSetBody(dCreateBox(space_, 1, 1, 1), body);
        }
    }
    ~RawHeap() {
        dJointGroupDestroy(contacts_);
        dSpaceDestroy(space_);
        dWorldDestroy(world_);
        dCloseODE();
    }
    void frame() {
        step(kFrameTime * 0.5);
        step(0.001);
    }

private:
    static void nearCallback(void* data, dGeomID a, dGeomID b) {
        auto& heap = *static_cast<RawHeap*>(data);
        dContact contact[4];
        const int n = dCollide(a, b, 4, &contact[0].geom, sizeof(dContact));
        for (int i = 0; i < n; ++i) {
            contact[i].surface = heap.surface_;
            dJointAttach(dJointCreateContact(heap.world_, heap.contacts_, &contact[i]), dGeomGetBody(a),
                         dGeomGetBody(b));
        }
    }
    void step(double h) {
        dSpaceCollide(space_, this, &nearCallback);
        dWorldQuickStep(world_, h);
        dJointGroupEmpty(contacts_);
    }

    dWorldID world_;
    dSpaceID space_;
    dJointGroupID contacts_;
    dSurfaceParameters surface_{};
};

// Built and settled on first use; later repetitions go on stepping the
// resting heap.
template <typename Heap>
Heap& settledHeap(int count) {
    static std::map<int, std::unique_ptr<Heap>> heaps;
    auto& heap = heaps[count];
    if (!heap) {
        heap = std::make_unique<Heap>(count);
        const int frames = static_cast<int>(kSettleSeconds / (kFrameTime * 0.5 + 0.001));
        for (int i = 0; i < frames; ++i) heap->frame();
    }
    return *heap;
}

template <typename Heap>
void BM_Frame(benchmark::State& state) {
    Heap& heap = settledHeap<Heap>(static_cast<int>(state.range(0)));
    for (auto _ : state) heap.frame();
}

void BM_GlueFrame(benchmark::State& state) { BM_Frame<GlueHeap>(state); }
void BM_RawFrame(benchmark::State& state) { BM_Frame<RawHeap>(state); }

// Alternating the two lets a busy machine slow both alike.
BENCHMARK(BM_RawFrame)->Arg(20)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_GlueFrame)->Arg(20)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_RawFrame)->Arg(200)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_GlueFrame)->Arg(200)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                times[run.run_name.function_name + "/" + run.run_name.args] = run.GetAdjustedCPUTime();
    }
    // CPU time in microseconds: the stepping is single-threaded, and on a
    // shared machine the wall clock also counts the other processes.
    std::map<std::string, double> times;
};

template <typename Heap>
void reportAllocations(const char* name, int count) {
    Heap& heap = settledHeap<Heap>(count);
    const long newBefore = xmo::bench::operatorNewCalls();
    const long engineBefore = xmo::bench::engineAllocations();
    for (int i = 0; i < kCountedFrames; ++i) heap.frame();
    std::printf("allocations over %d frames of %d settled boxes, %s: operator new %ld, ODE's allocator %ld\n",
                kCountedFrames, count, name, xmo::bench::operatorNewCalls() - newBefore, xmo::bench::engineAllocations() - engineBefore);
}

}  // namespace

int main(int argc, char** argv) {
    xmo::bench::countEngineAllocations();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    // The sizes a --benchmark_filter leaves out are left out here too.
    for (int count : {20, 200}) {
        const std::string arg = "/" + std::to_string(count);
        const auto glue = reporter.times.find("BM_GlueFrame" + arg);
        const auto raw = reporter.times.find("BM_RawFrame" + arg);
        if (glue == reporter.times.end() || raw == reporter.times.end()) continue;
        std::printf("physics frame, %d boxes at rest: OdeWorld %.1f us, ODE alone %.1f us, ratio %.3f\n", count,
                    glue->second, raw->second, glue->second / raw->second);
        reportAllocations<GlueHeap>("OdeWorld", count);
        reportAllocations<RawHeap>("ODE alone", count);
    }
    benchmark::Shutdown();
    return 0;
}
