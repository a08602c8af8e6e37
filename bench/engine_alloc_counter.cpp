#include "engine_alloc_counter.h"

#include <ode/ode.h>

#include <cstdlib>

namespace xmo::bench {

namespace {

long calls = 0;

void* countedAlloc(dsizeint size) {
    ++calls;
    return std::malloc(size);
}
void* countedRealloc(void* p, dsizeint, dsizeint size) {
    ++calls;
    return std::realloc(p, size);
}
void countedFree(void* p, dsizeint) { std::free(p); }

}  // namespace

void countEngineAllocations() {
    dSetAllocHandler(countedAlloc);
    dSetReallocHandler(countedRealloc);
    dSetFreeHandler(countedFree);
}

long engineAllocations() { return calls; }

}  // namespace xmo::bench
