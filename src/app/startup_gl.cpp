#include <iostream>

#include "app/gl_setup.h"
#include "app/player.h"
#include "effects/particles.h"
#include "effects/sound.h"
#include "movie/movie_loader.h"
#include "terrain/sky.h"
#include "terrain/terrain.h"

namespace xmo {

void startPlayer(Player& p, const std::string& moviePath, MediaLoader& media) {
    const FieldOfView fov = initGL(kScreenWidth, kScreenHeight);
    p.fieldOfViewX = fov.x;
    p.fieldOfViewY = fov.y;

    initParticleTexture();
    p.physics.initPhysicsWorld();
    p.physics.createGroundPlane();
    p.physics.refreshCollisionSpace();
    loadSkyTexture();
    loadTerrain();
    buildTerrain();

    // One dot now and one per loaded object: the progress line of loading.
    p.console << "." << std::flush;
    Diagnostics diagnostics;
    LoadServices services{media, p.physics, p.console, p.errors, diagnostics};
    p.currentMovie = loadMovie(moviePath, services);

    p.console << std::endl << "Loading music file..." << std::endl;
    startSound(p.currentMovie->sounds);
    p.movieClock.start();
}

void stopPlayer(Player& p) {
    if (p.currentMovie) stopSound(p.currentMovie->sounds);
}

}  // namespace xmo
