// Counts the calls of the global operator new in the whole process (the
// program, the libraries and the GL driver's C++ code), for benchmarks that
// check a frame allocates nothing. Linking new_counter.cpp replaces the
// operator.
#pragma once

namespace xmo::bench {

long operatorNewCalls();

}  // namespace xmo::bench
