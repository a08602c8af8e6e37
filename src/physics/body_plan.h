// The body plan: which physical models of a resolved movie become rigid
// bodies, which become collision parts riding on another model's body, which
// joins and contacts can take effect, and the problems found on the way.
//
// Planning needs no engine: the checker and the dumper read the plan, and a
// world with dynamics (ode_world.h) builds exactly what it lists. Every value
// in the plan is usable as it stands (finite, sizes and masses positive,
// orientations of unit length); a value from the file that was not is
// replaced and reported with the movie's line.
//
// Rules of the program:
// - Models are numbered in the order of the model tree (depth first, in
//   document order); that number is the model's bodyIndex. A part may come
//   before the model it rides on: bodies are built before parts.
// - A model with its own body must have collisiontype 0 (box) or 1 (sphere);
//   with any other value it is not physical at all.
// - A part (a model with a relative model) is always a box. Its relative
//   model must have a body of its own; a part of a part, or of a model
//   without a body, gets nothing and is drawn from its own pose.
// - A sphere's diameter is the x edge of its size, so a sphere nested in a
//   ModelTransform (which gets no extents) takes the x edge of its boxsize.
// - A size edge that is not positive falls back to the object's bounds, then
//   to 0.01; a mass that is not positive becomes 1; a position outside the
//   world becomes 0 on that axis.
#pragma once

#include <vector>

#include "base/diagnostics.h"
#include "math/quat.h"
#include "math/vec.h"
#include "movie/movie.h"

namespace xmo {

// Coordinates and sizes beyond this many units are outside the world.
inline constexpr float kWorldLimit = 1.0e6f;

enum class BodyShape { Box, Sphere };

// One collision model, under its shared index.
struct PlannedBody {
    Model* model = nullptr;
    int attachedTo = -1;  // a part: the index of the body it rides on
    BodyShape shape = BodyShape::Box;
    Vec3f size;           // box edges; a sphere's diameter in x
    float mass = 1.0f;
    Vec3f position;       // a body's starting position in the world
    Quatf orientation;    // a body's starting orientation, unit length
    Vec3f offset;         // a part's place in its body's frame

    bool isPart() const { return attachedTo >= 0; }
};

// A ball joint; its position in the plan's list is its joint index.
struct PlannedJoin {
    Join* join = nullptr;
    int body0 = -1;
    int body1 = -1;  // -1: the fixed world
    Vec3f anchor;
};

// A pair whose collision models never touch once both models are enabled.
struct PlannedContact {
    const Contact* contact = nullptr;
    int index0 = -1;
    int index1 = -1;
};

struct BodyPlan {
    std::vector<PlannedBody> bodies;  // by shared index
    std::vector<PlannedJoin> joins;
    std::vector<PlannedContact> contacts;
    std::vector<Diagnostic> problems;
};

// The plan of a movie whose ids are resolved and extents computed. Joins and
// contacts that name no model at all are left out without a problem: the
// resolution pass has reported those ids.
BodyPlan planBodies(const Movie& movie);

// Gives each planned model its bodyIndex and each planned join its joint
// index, the numbers a world built from the plan uses; every other model and
// join keeps -1.
void numberPlannedRecords(const BodyPlan& plan);

}  // namespace xmo
