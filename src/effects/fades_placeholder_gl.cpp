#include "effects/fades.h"

namespace xmo {

void drawFades(const std::vector<std::unique_ptr<SpecialEffect>>&, float) {}

}  // namespace xmo
