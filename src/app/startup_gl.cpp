#include <iostream>
#include <optional>

#include "app/gl_setup.h"
#include "app/player.h"
#include "base/film_files.h"
#include "movie/movie_loader.h"

namespace xmo {

namespace {

// A physics world with its fixed contents, for one reading of the film.
std::unique_ptr<OdeWorld> makePhysicsWorld() {
    auto physics = std::make_unique<OdeWorld>();
    physics->createGroundPlane();
    physics->refreshCollisionSpace();
    return physics;
}

// What the first frame of a film needs after loading: its scenes' lights on,
// its models' pictures made textures, its bricks built and its caches sized.
void prepareFilm(Player& p) {
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
}

}  // namespace

bool startPlayer(Player& p, const std::string& moviePath, MediaLoader& media) {
    const FieldOfView fov = initGL(kScreenWidth, kScreenHeight);
    p.fieldOfViewX = fov.x;
    p.fieldOfViewY = fov.y;

    initParticleTexture(p.particleTexture);
    p.physics = makePhysicsWorld();
    FilmFiles world(moviePath, p.errors);
    loadSkyTexture(p.sky, world, p.errors);
    loadTerrain(p.terrain, world, p.errors);
    buildTerrain(p.terrain);

    // One dot now and one per loaded object: the progress line of loading.
    p.console << "." << std::flush;
    Diagnostics diagnostics;
    LoadServices services{media,   *p.physics,  p.renderer.lights, p.renderer.textures, p.console,
                          p.errors, diagnostics, p.errors};
    p.currentMovie = loadMovie(moviePath, services);
    prepareFilm(p);

    p.console << std::endl << "Loading music file..." << std::endl;
    if (const std::optional<SoundError> error = startSound(p.sound, p.currentMovie->sounds)) {
        p.console << "Error!\n" << soundErrorText(*error) << std::endl;
        return false;
    }
    p.movieClock.start();
    return true;
}

bool restartFilm(Player& p, const std::string& moviePath, MediaLoader& media) {
    std::unique_ptr<OdeWorld> physics = makePhysicsWorld();
    LightCounter lights;
    ModelTextures textures;
    Diagnostics diagnostics;
    std::ostream quiet(nullptr);  // the first reading said all there is to say
    LoadServices services{media, *physics, lights, textures, quiet, quiet, diagnostics, quiet};
    std::unique_ptr<Movie> movie = loadMovie(moviePath, services);

    const std::optional<SoundError> soundError = restartSound(p.sound, p.currentMovie->sounds, movie->sounds);
    // The old movie goes before its physics world, whose bodies its models name.
    p.currentMovie = std::move(movie);
    p.physics = std::move(physics);
    p.renderer.lights = std::move(lights);
    // The first reading's model textures go with its movie.
    deleteModelTextures(p.renderer.textures);
    p.renderer.textures = std::move(textures);
    p.renderer.casterList.clear();
    if (soundError) {
        p.console << "Error!\n" << soundErrorText(*soundError) << std::endl;
        return false;
    }

    p.quitCode = 0;
    p.eyePoint = p.lookAtPoint = p.upVector = Vec3f{};
    p.view = p.inverseView = Mat4x4f{};
    std::fill(std::begin(p.billboardMatrix), std::end(p.billboardMatrix), 0.0f);
    p.sequence = nullptr;
    p.filmTime = p.localTime = 0.0f;
    p.captionPen = p.captionPenAtFrameStart = CaptionPen{};
    p.cameraCache.element = nullptr;
    p.movieClock.currentMs = p.movieClock.previousMs = 0;
    prepareFilm(p);
    p.movieClock.start();
    return true;
}

void stopPlayer(Player& p) {
    if (p.currentMovie) stopSound(p.sound, p.currentMovie->sounds);
}

}  // namespace xmo
