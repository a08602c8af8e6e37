// Camera-facing particle sprites of a sequence, all sharing one sprite
// texture made at start-up.
//
// Not built yet: no sprite texture is made, and particles (from the file or
// spawned by "createparticles") are kept in their sequence but neither moved
// nor drawn.
#pragma once

#include <memory>
#include <vector>

#include "math/vec.h"

namespace xmo {

struct Particle;

// The sprite texture of every particle, owned by the player.
struct ParticleTexture {};

inline void initParticleTexture(ParticleTexture&) {}
inline void updateParticles(std::vector<std::unique_ptr<Particle>>& /*particles*/, float /*dt*/) {}
inline void drawParticles(const ParticleTexture&, std::vector<std::unique_ptr<Particle>>& /*particles*/,
                          const float /*billboard*/[16], float /*t*/, Vec3f /*eye*/, Vec3f /*lookAt*/) {}

}  // namespace xmo
