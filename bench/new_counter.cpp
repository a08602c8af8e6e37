#include "new_counter.h"

#include <cstdlib>
#include <new>

namespace {

long calls = 0;

}  // namespace

namespace xmo::bench {

long operatorNewCalls() { return calls; }

}  // namespace xmo::bench

// GCC mistakes the malloc and free behind the replaced operators for a
// mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    ++calls;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
