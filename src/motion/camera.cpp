#include "motion/camera.h"

#include <algorithm>

#include "motion/interpolation.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// A path needs four points for a cubic curve; fewer points hold the first.
constexpr std::size_t kMinCurvePoints = 4;

const CameraElement* findElement(const Camera& camera, float t, float& start) {
    start = 0.0f;
    for (const auto& element : camera.elements) {
        if (t <= start + element->duration) return element.get();
        start += element->duration;
    }
    return nullptr;
}

void rebuildCurves(const CameraElement& element, CameraCache& cache) {
    if (cache.element == &element) return;
    if (element.eyePoints.size() >= kMinCurvePoints) buildUniformBSpline(element.eyePoints, cache.eye);
    if (element.lookAtPoints.size() >= kMinCurvePoints) buildUniformBSpline(element.lookAtPoints, cache.lookAt);
    cache.element = &element;
}

Vec3f pointOnPath(const std::vector<Vec3f>& points, const BSplineCurve& curve, float e, BSplineScratch& scratch) {
    if (points.empty()) return {};
    if (points.size() < kMinCurvePoints) return points.front();
    return evaluateBSpline(curve, e, scratch);
}

}  // namespace

bool evaluateCamera(const Camera& camera, float t, CameraCache& cache, Vec3f& eye, Vec3f& lookAt, Vec3f& up) {
    float start = 0.0f;
    const CameraElement* element = findElement(camera, t, start);
    if (!element) return false;

    // A zero-length element is current only at its start: it shows its first points.
    const float d = element->duration > 0.0f ? (t - start) / element->duration : 0.0f;
    const float e = element->easing == Easing::Hermite ? hermiteEase(d) : d;

    if (element->eyePoints.size() >= kMinCurvePoints || element->lookAtPoints.size() >= kMinCurvePoints)
        rebuildCurves(*element, cache);
    eye = pointOnPath(element->eyePoints, cache.eye, e, cache.scratch);
    lookAt = pointOnPath(element->lookAtPoints, cache.lookAt, e, cache.scratch);
    up = Vec3f{0.0f, 0.0f, 1.0f};
    return true;
}

void reserveCameraCache(const std::vector<std::unique_ptr<Sequence>>& sequences, CameraCache& cache) {
    std::size_t most = 0;
    for (const auto& sequence : sequences)
        if (sequence->camera)
            for (const auto& element : sequence->camera->elements)
                most = std::max({most, element->eyePoints.size(), element->lookAtPoints.size()});
    // A cubic curve of n points has n + 4 knots; its evaluation copies both
    // with room for three more.
    constexpr std::size_t kDegree = 3;
    for (BSplineCurve* curve : {&cache.eye, &cache.lookAt}) {
        curve->points.reserve(most);
        curve->knots.reserve(most + 4);
    }
    cache.scratch.points.reserve(most + kDegree);
    cache.scratch.nextPoints.reserve(most + kDegree);
    cache.scratch.knots.reserve(most + 4 + kDegree);
}

}  // namespace xmo
