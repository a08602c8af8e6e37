// Invariant checks that stay on in every build.
//
// XMO_CHECK guards our own invariants (index bounds of the value types, the
// shapes of internal tables). A failed check names the expression and the
// source unit, then aborts: it marks a bug, never bad input. Input from files
// is validated by the loaders and reported as diagnostics instead.
#pragma once

namespace xmo {
[[noreturn]] void checkFailed(const char* expression, const char* unit, int line);
}

#define XMO_CHECK(expr, unit) \
    ((expr) ? static_cast<void>(0) : ::xmo::checkFailed(#expr, unit, __LINE__))
