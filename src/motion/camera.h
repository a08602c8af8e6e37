// Camera paths: the eye and look-at point of a sequence's camera at a local time.
#pragma once

#include <memory>
#include <vector>

#include "math/vec.h"
#include "motion/bspline.h"

namespace xmo {

struct Camera;
struct CameraElement;
struct Sequence;

// The curves of the element last evaluated; shared by all cameras and
// rebuilt whenever another element becomes current.
struct CameraCache {
    const CameraElement* element = nullptr;
    BSplineCurve eye;
    BSplineCurve lookAt;
    BSplineScratch scratch;
};

// Sizes the cache for the camera elements of every sequence, so that a later
// element with more points than the first costs its frame no allocation.
void reserveCameraCache(const std::vector<std::unique_ptr<Sequence>>& sequences, CameraCache& cache);

// True when an element covers t; eye, lookAt and up are then written (up is
// always (0, 0, 1)). Past the last element nothing is written.
bool evaluateCamera(const Camera& camera, float t, CameraCache& cache, Vec3f& eye, Vec3f& lookAt, Vec3f& up);

}  // namespace xmo
