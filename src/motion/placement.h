// Model placement: the matrices a Model and a ModelTransform multiply onto
// the current model-view matrix when they draw, computed without OpenGL.
//
// Matrices are in the layout of OpenGL's 16 floats read into a Mat4x4f
// (translation in row 3), so a result can be handed to glMultMatrixf as it
// is. A model translates by its position, then rotates; a transform rotates
// first, so its translation is expressed in its rotated frame.
#pragma once

#include <ostream>

#include "math/mat4.h"
#include "movie/movie.h"
#include "scene/renderer_state.h"

namespace xmo {

// What glTranslatef and glRotatef (angle and axis of the quaternion) build.
Mat4x4f translationMatrix(const Vec3f& t);
Mat4x4f rotationMatrix(const Quatf& rotation);

// The matrix stack after multiplying outer, then inner, onto the identity.
Mat4x4f compose(const Mat4x4f& outer, const Mat4x4f& inner);

Mat4x4f modelPlacement(const Base& model);      // T(position) R(rotation)
Mat4x4f transformPlacement(const Base& model);  // R(rotation) T(position)

// What a Model draws its object with, each time it is drawn. A model with a
// body of its own first hands its animated pose to the body while
// animatephysics is set (and keeps a zero centreOffset from then on), then
// takes its position from the body and is placed by the body's pose; an
// attached part is placed by its collision part's world transform; both are
// shifted by -centreOffset so the box centre sits on the body. Any other
// model is placed by modelPlacement. Drawing again before the world steps
// changes nothing further, so a frame may draw its models more than once.
Mat4x4f updateModelPlacement(Model& model);

// The model pass's two visits of every model, made without drawing, in the
// order the pass draws them: each enabled model (under enabled transforms)
// gets its placement from updateModelPlacement; a model with a function
// keeps its model-view matrix under `view` in lastModelView, where the
// film's commands find it; a scene whose light is not placed yet places it
// in the eye's space from that model-view matrix (see PointLight). A
// top-level model without an object says so on console at each visit.
void placeModels(Movie& movie, const Mat4x4f& view, LightCounter& lights, std::ostream& console);

// Where point p of the placed frame lands.
Vec3f transformPoint(const Mat4x4f& m, const Vec3f& p);

}  // namespace xmo
