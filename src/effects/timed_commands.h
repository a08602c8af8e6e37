// Timed commands of a sequence: switching models on and off, handing them to
// and from the physics animation, spawning particles at a model, ending the film.
#pragma once

#include "math/mat4.h"

namespace xmo {

struct Movie;
struct Sequence;
class PhysicsWorld;

// Runs the sequence's commands whose time has come, in list order, at local
// time localTime. inverseView is the previous frame's (the zero matrix on the
// first frame). "exit" sets quitCode to 2.
void runTimedCommands(Movie& movie, Sequence& sequence, const Mat4x4f& inverseView, float localTime,
                      PhysicsWorld& physics, int& quitCode);

}  // namespace xmo
