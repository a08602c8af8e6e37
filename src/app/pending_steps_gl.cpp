// Start-up and frame steps whose subsystems are not built yet. Each stands
// in its place in the start-up order and in renderFrame; its own subsystem
// replaces it here.
#include "effects/captions.h"
#include "effects/particles.h"
#include "effects/sound.h"
#include "effects/tiles.h"
#include "terrain/sky.h"
#include "terrain/terrain.h"

namespace xmo {

void loadSkyTexture() {}
void drawSky(Vec3f, Vec3f, float, float) {}
void loadTerrain() {}
void buildTerrain() {}
void initParticleTexture() {}
void updateParticles(std::vector<std::unique_ptr<Particle>>&, float) {}
void drawParticles(std::vector<std::unique_ptr<Particle>>&, const float[16], float, Vec3f, Vec3f) {}
void drawTextChunks(const std::vector<std::unique_ptr<TextChunk>>&, float) {}
void drawTiles(const std::vector<std::unique_ptr<Tiles>>&, float) {}
void startSound(std::vector<std::unique_ptr<Sound>>&) {}
void updateSound(std::vector<std::unique_ptr<Sound>>&, float) {}
void stopSound(std::vector<std::unique_ptr<Sound>>&) {}

}  // namespace xmo
