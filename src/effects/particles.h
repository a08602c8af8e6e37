// Camera-facing particle sprites of a sequence.
//
// Not built yet: particles (from the file or spawned by "createparticles")
// are kept in their sequence but neither moved nor drawn.
#pragma once

#include <memory>
#include <vector>

#include "math/vec.h"

namespace xmo {

struct Particle;

void initParticleTexture();
void updateParticles(std::vector<std::unique_ptr<Particle>>& particles, float dt);
void drawParticles(std::vector<std::unique_ptr<Particle>>& particles, const float billboard[16], float t, Vec3f eye,
                   Vec3f lookAt);

}  // namespace xmo
