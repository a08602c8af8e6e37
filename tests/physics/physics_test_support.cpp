#include "physics/physics_test_support.h"

#include <cmath>

namespace xmo::test {

LoadedWorld::LoadedWorld(const std::string& objectsAndModels, const std::string& joinsAndContacts,
                         const std::string& sequenceBody) {
    world.createGroundPlane();
    movie = loadMovieFromText("<Movie>" + objectsAndModels + joinsAndContacts +
                                  "<Sequence duration=\"1\"><Camera/>" + sequenceBody + "</Sequence></Movie>",
                              "test.xmo", services);
}

Model& LoadedWorld::model(int id) {
    Model* found = nullptr;
    forEachModel(movie->models, [&](BaseModel& m) {
        if (m.id == id && !found) found = dynamic_cast<Model*>(&m);
    });
    if (!found) throw std::runtime_error("no model " + std::to_string(id));
    return *found;
}

void LoadedWorld::enable(std::initializer_list<int> ids) {
    for (int id : ids) model(id).setEnabled(true);
    world.applyContacts(*movie);
}

void LoadedWorld::run(float seconds, float frameTime) {
    const int frames = static_cast<int>(std::lround(seconds / (frameTime * 0.5f + 0.001f)));
    for (int i = 0; i < frames; ++i) stepPhysicsForFrame(world, frameTime);
}

Object& addObject(Movie& movie, const Vec3f& min, const Vec3f& max) {
    auto object = std::make_unique<Object>();
    object->min = min;
    object->max = max;
    object->loaded = true;
    movie.objects.push_back(std::move(object));
    return static_cast<Object&>(*movie.objects.back());
}

Model& addModel(std::vector<std::unique_ptr<BaseModel>>& into, int id, const Vec3f& position, bool physical) {
    auto model = std::make_unique<Model>();
    model->id = id;
    model->position = position;
    model->physicalbased = physical;
    model->mass = 1.0f;
    model->sourceLine = id;
    into.push_back(std::move(model));
    return static_cast<Model&>(*into.back());
}

float distance(const Vec3f& a, const Vec3f& b) { return length(a - b); }

}  // namespace xmo::test
