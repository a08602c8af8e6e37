// Counts the allocations the rigid-body engine makes through its own
// allocator hooks, for benchmarks that check a frame allocates nothing.
#pragma once

namespace xmo::bench {

// Installs the counting hooks; call before the engine allocates anything.
void countEngineAllocations();

long engineAllocations();

}  // namespace xmo::bench
