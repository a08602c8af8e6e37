#include "motion/placement.h"

#include <cmath>

#include "physics/physics_world.h"

namespace xmo {

Mat4x4f translationMatrix(const Vec3f& t) {
    Mat4x4f m = Mat4x4f::identity();
    m.row[3] = Vec4f{t.e[0], t.e[1], t.e[2], 1.0f};
    return m;
}

Mat4x4f rotationMatrix(const Quatf& rotation) {
    const AxisAngle aa = rotation.toAxisAngle();
    const float len = length(aa.axis);
    if (!(len > 0.0f)) return Mat4x4f::identity();
    const Vec3f u = aa.axis / len;
    const double radians = aa.degrees / 180.0 * 3.141592653589793;
    const float c = static_cast<float>(std::cos(radians));
    const float s = static_cast<float>(std::sin(radians));
    const float x = u.e[0], y = u.e[1], z = u.e[2], k = 1.0f - c;
    // Row r holds OpenGL's column r: the transpose of the rotation as written
    // for column vectors.
    Mat4x4f m;
    m.row[0] = Vec4f{x * x * k + c, y * x * k + z * s, x * z * k - y * s, 0.0f};
    m.row[1] = Vec4f{x * y * k - z * s, y * y * k + c, y * z * k + x * s, 0.0f};
    m.row[2] = Vec4f{x * z * k + y * s, y * z * k - x * s, z * z * k + c, 0.0f};
    m.row[3] = Vec4f{0.0f, 0.0f, 0.0f, 1.0f};
    return m;
}

Mat4x4f compose(const Mat4x4f& outer, const Mat4x4f& inner) { return inner * outer; }

Mat4x4f modelPlacement(const Base& model) {
    return compose(translationMatrix(model.position), rotationMatrix(model.rotation));
}

Mat4x4f transformPlacement(const Base& model) {
    return compose(rotationMatrix(model.rotation), translationMatrix(model.position));
}

Mat4x4f updateModelPlacement(Model& model) {
    PhysicsWorld* physics = model.physics;
    if (!physics || !model.physicalbased) return modelPlacement(model);
    if (model.relativeModel) return compose(model.partWorld, translationMatrix(-model.centreOffset));

    if (model.animatephysics) {
        model.centreOffset = Vec3f{};
        physics->setBodyOrientation(model.bodyIndex, model.rotation);
        physics->setBodyPosition(model.bodyIndex, model.position);
        physics->setBodyLinearVelocity(model.bodyIndex, Vec3f{});
        physics->setBodyAngularVelocity(model.bodyIndex, Vec3f{});
    }
    // The rotation stays the model's own: only the position comes back.
    model.position = physics->bodyPosition(model.bodyIndex);
    float body[16];
    physics->bodyMatrix(model.bodyIndex, body);
    return compose(Mat4x4f(body), translationMatrix(-model.centreOffset));
}

namespace {

// The model pass's passes: the world dimly lit, then brightly.
constexpr int kModelPassVisits = 2;

void placeSceneLight(const BaseObject* object, const Mat4x4f& modelView, LightCounter& lights) {
    const auto* sceneObject = dynamic_cast<const Object*>(object);
    // A scene's light is drawn only when the object is the whole scene.
    if (!sceneObject || !sceneObject->scene || sceneObject->root != sceneObject->scene.get()) return;
    const SceneLights* sceneLights = sceneObject->scene->lights.get();
    if (!sceneLights || !sceneLights->light || !sceneLights->light->dirty) return;
    PointLight& light = *sceneLights->light;
    light.dirty = false;
    light.eyePosition = transformPoint(modelView, light.location);
    lights.placedThisFrame.push_back(&light);
}

void visitModels(const std::vector<std::unique_ptr<BaseModel>>& models, const Mat4x4f& outer, LightCounter& lights,
                 std::ostream* console) {
    for (const auto& entry : models) {
        if (auto* transform = dynamic_cast<ModelTransform*>(entry.get())) {
            if (transform->enabled)
                visitModels(transform->children, compose(outer, transformPlacement(*transform)), lights, nullptr);
            continue;
        }
        auto* found = dynamic_cast<Model*>(entry.get());
        if (!found) continue;
        Model& model = *found;
        if (!model.object) {
            if (console) *console << "Object " << model.id << " does not exist\n";
            continue;
        }
        if (!model.enabled) continue;
        model.placement = updateModelPlacement(model);
        const Mat4x4f modelView = compose(outer, model.placement);
        placeSceneLight(model.object, modelView, lights);
        if (!model.function.empty()) {
            modelView.toFloats(model.lastModelView);
            model.drawnWithFunction = true;
        }
    }
}

}  // namespace

void placeModels(Movie& movie, const Mat4x4f& view, LightCounter& lights, std::ostream& console) {
    lights.placedThisFrame.clear();
    for (int visit = 0; visit < kModelPassVisits; ++visit) visitModels(movie.models, view, lights, &console);
}

Vec3f transformPoint(const Mat4x4f& m, const Vec3f& p) {
    Vec3f out;
    for (int c = 0; c < 3; ++c)
        out.e[c] = p.e[0] * m.row[0].e[c] + p.e[1] * m.row[1].e[c] + p.e[2] * m.row[2].e[c] + m.row[3].e[c];
    return out;
}

void Model::computeExtents() {
    if (!object) return;
    const Vec3f h = (object->max - object->min) / 2.0f;
    centreOffset = object->min + h;
    boxsize = object->max - object->min;
    diameter = boxsize.e[0];
    min = object->min + centreOffset;
    max = object->max + centreOffset;
}

void Model::setEnabled(bool value) {
    const bool was = enabled;
    enabled = value;
    if (value && !was && physicalbased && !relativeModel && physics && !physics->isBodyEnabled(bodyIndex))
        physics->enableBody(bodyIndex);
}

}  // namespace xmo
