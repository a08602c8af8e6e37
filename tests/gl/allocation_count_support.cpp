#include <ode/ode.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <new>

#include "gl/allocation_count.h"

namespace {

// The GL driver allocates from its own threads.
std::atomic<long> programNewCalls{0};
std::atomic<long> libraryNewCalls{0};
std::atomic<long> engineCalls{0};
std::atomic<long> cMallocCalls{0};

void bump(std::atomic<long>& counter) { counter.fetch_add(1, std::memory_order_relaxed); }

}  // namespace

// The sanitizers bring their own malloc, which must stay the process's; there
// only C++ and engine allocations are counted.
#if defined(__SANITIZE_ADDRESS__)
#define XMO_COUNT_MALLOC 0
#else
#define XMO_COUNT_MALLOC 1
#endif

#if XMO_COUNT_MALLOC
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);

// Defined in the executable, these take the place of the C library's for every
// shared library too. The counted allocators below call the C library's own,
// so a C++ or engine allocation is not counted a second time as C.
void* malloc(std::size_t size) {
    bump(cMallocCalls);
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    bump(cMallocCalls);
    return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) {
    bump(cMallocCalls);
    return __libc_realloc(p, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    bump(cMallocCalls);
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t size) {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) return EINVAL;
    bump(cMallocCalls);
    void* p = __libc_memalign(alignment, size);
    if (!p) return ENOMEM;
    *out = p;
    return 0;
}
}

namespace {
void* uncountedAlloc(std::size_t size) { return __libc_malloc(size); }
void* uncountedRealloc(void* p, std::size_t size) { return __libc_realloc(p, size); }
}  // namespace
#else
namespace {
void* uncountedAlloc(std::size_t size) { return std::malloc(size); }
void* uncountedRealloc(void* p, std::size_t size) { return std::realloc(p, size); }
}  // namespace
#endif

// The linker's bounds of the executable's code: a caller inside them is the
// program (templates such as std::vector's growth are compiled into it).
extern "C" const char __executable_start;
extern "C" const char etext;

namespace {

void* countedNew(std::size_t size, const void* caller) {
    const auto* at = static_cast<const char*>(caller);
    bump(at >= &__executable_start && at < &etext ? programNewCalls : libraryNewCalls);
    if (void* p = uncountedAlloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

}  // namespace

// GCC mistakes the malloc and free behind a replaced operator new for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) { return countedNew(size, __builtin_return_address(0)); }
void* operator new[](std::size_t size) { return countedNew(size, __builtin_return_address(0)); }
// The nothrow forms too: a library that allocates with one of them frees
// through the plain delete above, and both halves must be the same malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return countedNew(size, __builtin_return_address(0));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return countedNew(size, __builtin_return_address(0));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace xmo::test {

namespace {

void* engineAlloc(dsizeint size) {
    bump(engineCalls);
    return uncountedAlloc(size);
}
void* engineRealloc(void* p, dsizeint, dsizeint size) {
    bump(engineCalls);
    return uncountedRealloc(p, size);
}
void engineFree(void* p, dsizeint) { std::free(p); }

}  // namespace

void countEngineAllocations() {
    dSetAllocHandler(engineAlloc);
    dSetReallocHandler(engineRealloc);
    dSetFreeHandler(engineFree);
}

AllocationCounts allocationCounts() {
    AllocationCounts counts;
    counts.program = programNewCalls.load(std::memory_order_relaxed);
    counts.libraries = libraryNewCalls.load(std::memory_order_relaxed);
    counts.engine = engineCalls.load(std::memory_order_relaxed);
    if (XMO_COUNT_MALLOC) counts.cMalloc = cMallocCalls.load(std::memory_order_relaxed);
    return counts;
}

AllocationCounts operator-(const AllocationCounts& later, const AllocationCounts& earlier) {
    AllocationCounts d;
    d.program = later.program - earlier.program;
    d.libraries = later.libraries - earlier.libraries;
    d.engine = later.engine - earlier.engine;
    d.cMalloc = later.cMalloc < 0 ? -1 : later.cMalloc - earlier.cMalloc;
    return d;
}

}  // namespace xmo::test
