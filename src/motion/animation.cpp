#include "motion/animation.h"

#include <cmath>

#include "motion/interpolation.h"
#include "movie/movie.h"
#include "physics/physics_world.h"

namespace xmo {

namespace {

// Key scans start from these bounds; keys outside them are never chosen.
constexpr float kEarliestKey = -100000.0f;
constexpr float kLatestKey = 100000.0f;
// Loop spans are clamped to [kLoopEarliestEnd, kLoopLatestStart].
constexpr float kLoopLatestStart = 100000.0f;
constexpr float kLoopEarliestEnd = -1.0f;
// A force key's rotation sets the body's orientation only with a real w.
constexpr float kMinOrientationW = 0.01f;

template <typename Key>
float loopedTime(const std::vector<std::unique_ptr<Key>>& keys, float t) {
    float first = keys.front()->keytime;
    float last = keys.back()->keytime;
    if (first >= kLoopLatestStart) first = kLoopLatestStart;
    if (last <= kLoopEarliestEnd) last = kLoopEarliestEnd;
    if (!(t > last)) return t;
    const float period = last - first;
    // Keys that span no time have no period to replay.
    if (period == 0.0f) return t;
    return t - period * std::trunc((t - first) / period);
}

float animationTime(const Animation& animation, float t) {
    if (!animation.loop) return t;
    if (!animation.rotationKeys.empty()) return loopedTime(animation.rotationKeys, t);
    if (!animation.positionKeys.empty()) return loopedTime(animation.positionKeys, t);
    return t;
}

template <typename Key>
struct KeyPair {
    const Key* lower = nullptr;
    const Key* upper = nullptr;
    float lowerTime = kEarliestKey;
    float upperTime = kLatestKey;

    bool complete() const { return lower && upper; }
    // The upper key decides the easing of the way to it.
    float blend(float ta) const {
        const float u = (ta - lowerTime) / (upperTime - lowerTime);
        return upper->easing == Easing::Hermite ? hermiteEase(u) : u;
    }
};

// A key exactly at ta is the lower key; of equal times the later key wins.
KeyPair<KeyFramePosition> findPositionKeys(const Animation& animation, float ta) {
    KeyPair<KeyFramePosition> pair;
    for (const auto& key : animation.positionKeys) {
        const float c = key->keytime;
        if (c <= ta && c >= pair.lowerTime) {
            pair.lower = key.get();
            pair.lowerTime = c;
        } else if (ta <= c && c <= pair.upperTime) {
            pair.upper = key.get();
            pair.upperTime = c;
        }
    }
    return pair;
}

// A key exactly at ta is neither key; of equal times the earlier key wins.
KeyPair<KeyFrameRotation> findRotationKeys(const Animation& animation, float ta) {
    KeyPair<KeyFrameRotation> pair;
    for (const auto& key : animation.rotationKeys) {
        const float c = key->keytime;
        if (c < ta && c > pair.lowerTime) {
            pair.lower = key.get();
            pair.lowerTime = c;
        } else if (ta < c && c < pair.upperTime) {
            pair.upper = key.get();
            pair.upperTime = c;
        }
    }
    return pair;
}

void applyKeyPairs(const Animation& animation, float ta, BaseModel& model) {
    const auto positions = findPositionKeys(animation, ta);
    if (positions.complete())
        model.position = lerp(positions.lower->position, positions.upper->position, positions.blend(ta));
    const auto rotations = findRotationKeys(animation, ta);
    if (rotations.complete())
        model.rotation = slerp(rotations.lower->rotation, rotations.upper->rotation, rotations.blend(ta));
}

KeyFrameForce* findForceKey(const Animation& animation, float ta) {
    KeyFrameForce* latest = nullptr;
    float latestTime = kEarliestKey;
    for (const auto& key : animation.forceKeys) {
        if (key->keytime <= ta && key->keytime >= latestTime) {
            latest = key.get();
            latestTime = key->keytime;
        }
    }
    return latest;
}

// Hands the model to the physics engine at the latest force key; keys that
// the time jumped over in one frame are never applied.
void applyForceKey(const Animation& animation, float ta, Model& model) {
    KeyFrameForce* key = findForceKey(animation, ta);
    if (!key || key->activated) return;
    PhysicsWorld* world = model.bodyIndex >= 0 ? model.physics : nullptr;
    const int body = model.bodyIndex;
    if (world && key->linearvelocity != kUnsetVector) world->setBodyLinearVelocity(body, key->linearvelocity);
    if (world && key->position != kUnsetVector) world->setBodyPosition(body, key->position);
    key->activated = true;
    if (world && key->rotation.w > kMinOrientationW) world->setBodyOrientation(body, key->rotation);
    if (world && key->angularvelocity != kUnsetVector) world->setBodyAngularVelocity(body, key->angularvelocity);
}

void buildSplineCache(Animation& animation, const BaseModel& model) {
    std::vector<Vec3f> points;
    points.reserve(animation.positionKeys.size());
    for (const auto& key : animation.positionKeys)
        points.push_back(key->position == kUnsetVector ? model.position : key->position);
    BSplineCurve curve;
    buildUniformBSpline(points, curve);
    animation.controlPoints = std::move(curve.points);
    animation.knots = std::move(curve.knots);
}

// The control points are spread evenly over [first, last]: inner key times
// do not matter.
void applySpline(Animation& animation, float ta, BaseModel& model, BSplineScratch& scratch) {
    const auto& keys = animation.positionKeys;
    if (keys.size() < kMinBSplineKeys) return;
    const float first = keys.front()->keytime;
    const float last = keys.back()->keytime;
    if (ta <= first || ta >= last) return;
    if (animation.controlPoints.empty()) buildSplineCache(animation, model);
    const float u = (ta - first) / (last - first);
    model.position = evaluateBSpline(animation.controlPoints, animation.knots, u, scratch);
}

}  // namespace

void applyAnimations(const std::vector<std::unique_ptr<Animation>>& animations, float t, BSplineScratch& scratch,
                     std::ostream& console) {
    for (const auto& animation : animations) {
        const float ta = animationTime(*animation, t);
        BaseModel* model = animation->model;
        if (animation->mode == AnimationMode::BSpline) {
            if (model) applySpline(*animation, ta, *model, scratch);
            continue;
        }
        if (!model) {
            console << "Error" << animation->modelid << " modellen eksistere ikke" << '\n';
            continue;
        }
        applyKeyPairs(*animation, ta, *model);
        auto* physical = dynamic_cast<Model*>(model);
        if (physical && physical->physicalbased) applyForceKey(*animation, ta, *physical);
    }
}

}  // namespace xmo
