// Physics worlds for tests: films loaded from text into an OdeWorld with its
// ground plane, and models built record by record for the body plan.
#pragma once

#include <initializer_list>
#include <memory>
#include <sstream>
#include <string>

#include "movie/movie_loader.h"
#include "physics/ode_world.h"
#include "scene/renderer_state.h"

namespace xmo::test {

// A film of brick objects and models (and joins and contacts after them)
// loaded into a world with a ground plane, as start-up does it.
struct LoadedWorld {
    explicit LoadedWorld(const std::string& objectsAndModels, const std::string& joinsAndContacts = "",
                         const std::string& sequenceBody = "");

    Model& model(int id);
    // What "enablemodels" does: each model on, then the contacts.
    void enable(std::initializer_list<int> ids);
    // Frames of the given length, each stepping the world as the frame does.
    void run(float seconds, float frameTime = 0.04f);

    NoMediaLoader media;
    OdeWorld world;
    LightCounter lights;
    ModelTextures textures;
    Diagnostics diagnostics;
    std::ostringstream progress, errors;
    LoadServices services{media, world, lights, textures, progress, errors, diagnostics, errors};
    std::unique_ptr<Movie> movie;
};

// Record-by-record models: a scene-file object with the given bounds, and a
// model (top level, or inside a transform) placed with the given values.
Object& addObject(Movie& movie, const Vec3f& min, const Vec3f& max);
Model& addModel(std::vector<std::unique_ptr<BaseModel>>& into, int id, const Vec3f& position, bool physical = true);

float distance(const Vec3f& a, const Vec3f& b);

}  // namespace xmo::test
