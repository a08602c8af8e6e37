// The height-field terrain every film plays on.
//
// Not built yet: loading and building do nothing and the model pass draws no
// ground.
#pragma once

namespace xmo {

void loadTerrain();
void buildTerrain();

}  // namespace xmo
