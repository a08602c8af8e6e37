#include "scene/model_pass.h"

namespace xmo {

void drawAllModels(Movie&, std::ostream&) {}
void drawModelPass(Movie&, std::ostream&) {}

}  // namespace xmo
