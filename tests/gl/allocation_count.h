// Heap allocations of the whole process, counted by kind, for the checks that
// a frame allocates nothing. Linking allocation_count_support.cpp replaces the
// global operator new (the program's C++ allocations, and those of any C++
// library it loads, told apart by the caller's address), and, outside
// sanitizer builds, interposes malloc for
// every library of the process; countEngineAllocations routes the rigid-body
// engine's allocations through a counter of their own.
#pragma once

namespace xmo::test {

struct AllocationCounts {
    long program = 0;    // operator new called from the program's own code
    long libraries = 0;  // operator new called from a library (the driver's LLVM)
    long engine = 0;     // the rigid-body engine's own allocator
    long cMalloc = -1;     // malloc, calloc and realloc from C code; -1 when not counted
};

// Installs the rigid-body engine's counting allocator; call before the first world.
void countEngineAllocations();

// Counts since the process started.
AllocationCounts allocationCounts();

// What was allocated between two readings.
AllocationCounts operator-(const AllocationCounts& later, const AllocationCounts& earlier);

}  // namespace xmo::test
