#include <iostream>
#include <optional>

#include "app/gl_setup.h"
#include "app/player.h"
#include "movie/movie_loader.h"

namespace xmo {

bool startPlayer(Player& p, const std::string& moviePath, MediaLoader& media) {
    const FieldOfView fov = initGL(kScreenWidth, kScreenHeight);
    p.fieldOfViewX = fov.x;
    p.fieldOfViewY = fov.y;

    initParticleTexture(p.particleTexture);
    // The physics world itself was made with the player.
    p.physics.createGroundPlane();
    p.physics.refreshCollisionSpace();
    loadSkyTexture(p.sky, p.errors);
    loadTerrain(p.terrain, p.errors);
    buildTerrain(p.terrain);

    // One dot now and one per loaded object: the progress line of loading.
    p.console << "." << std::flush;
    Diagnostics diagnostics;
    LoadServices services{media, p.physics, p.renderer.lights, p.renderer.textures, p.console, p.errors, diagnostics};
    p.currentMovie = loadMovie(moviePath, services);
    // Loading only numbered the scenes' lights and decoded the models'
    // pictures; the lights go on and the pictures become textures here,
    // before the first frame draws a scene.
    enableSceneLights(p.renderer.lights);
    uploadModelTextures(p.renderer.textures);
    // Bricks are built now and their models' caster lists sized (a brick casts
    // one box), so that a brick switched on mid-film costs its frame no allocation.
    for (const auto& object : p.currentMovie->objects)
        if (auto* brick = dynamic_cast<BrikObject*>(object.get())) brick->build(p.renderer);
    reserveCameraCache(p.currentMovie->sequences, p.cameraCache);
    forEachModel(p.currentMovie->models, [](BaseModel& base) {
        auto* model = dynamic_cast<Model*>(&base);
        if (model && model->castshadow && dynamic_cast<BrikObject*>(model->object)) model->casters.reserve(1);
    });

    p.console << std::endl << "Loading music file..." << std::endl;
    if (const std::optional<SoundError> error = startSound(p.sound, p.currentMovie->sounds)) {
        p.console << "Error!\n" << soundErrorText(*error) << std::endl;
        return false;
    }
    p.movieClock.start();
    return true;
}

void stopPlayer(Player& p) {
    if (p.currentMovie) stopSound(p.sound, p.currentMovie->sounds);
}

}  // namespace xmo
