// Key-frame animation: moving the models of a sequence at its local time.
#pragma once

#include <memory>
#include <ostream>
#include <vector>

#include "motion/bspline.h"

namespace xmo {

struct Animation;

// Applies every animation in list order at local time t: positions and
// rotations from their keys (or a B-spline through the position keys), then
// force keys handed to the model's rigid body. console receives the line for
// an animation whose model does not exist.
void applyAnimations(const std::vector<std::unique_ptr<Animation>>& animations, float t, BSplineScratch& scratch,
                     std::ostream& console);

}  // namespace xmo
