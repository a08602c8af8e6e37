#include "app/xmotool_load.h"

#include <cstdio>

#include "physics/body_plan.h"

namespace xmo {

int usageError(const char* usage) {
    std::fprintf(stderr, "usage: xmotool %s\n", usage);
    return 2;
}

void planPhysics(Movie& movie, Diagnostics& diagnostics) {
    const BodyPlan plan = planBodies(movie);
    numberPlannedRecords(plan);
    for (const Diagnostic& d : plan.problems) diagnostics.report(d.kind, d.file, d.line, d.message);
}

}  // namespace xmo
