// Placeholder definitions until the effects subsystem lands.
#include "effects/fades.h"
#include "effects/timed_commands.h"

namespace xmo {

void runTimedCommands(Movie&, Sequence&, const Mat4x4f&, float, PhysicsWorld&, int&) {}
std::optional<FadeColour> fadeColour(const SpecialEffect&, float) { return std::nullopt; }

}  // namespace xmo
