// The physics world: rigid bodies for physical models, stepped every frame.
//
// The player owns one PhysicsWorld for the whole run. After the movie is
// loaded it builds a body (or an attached collision part) per physical model,
// the joints of the joins and the contact switches; each frame it is stepped
// twice. Models reach their body through Model::physics and bodyIndex.
//
// This class is the interface that loading, timed commands, force keys and
// drawing call; every operation is virtual so that tests can record the
// calls. On its own it is a world without an engine: building creates
// nothing, every model keeps bodyIndex -1 and is placed by its own position
// and rotation, and stepping does nothing. OdeWorld (ode_world.h) is the
// world with rigid-body dynamics.
#pragma once

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

struct Movie;
class Model;

class PhysicsWorld {
public:
    virtual ~PhysicsWorld() = default;

    // Start-up, after the world is made: the ground plane, then the
    // collision space. A world has its dynamics and space from construction.
    virtual void createGroundPlane() {}
    virtual void refreshCollisionSpace() {}

    // End of loading, in this order; applyContacts again after each
    // "enablemodels".
    virtual void buildPhysicalModels(Movie&) {}
    virtual void createJoints(Movie&) {}
    virtual void applyContacts(Movie&) {}

    // Each frame: collision pairs, then the world by h seconds.
    virtual void stepPhysics(float /*h*/) {}

    // Body access by a model's bodyIndex. An index that is no body (a part,
    // or out of range) and values that are not finite are ignored.
    virtual bool isBodyEnabled(int) const { return false; }
    virtual void enableBody(int) {}
    virtual void setBodyPosition(int, const Vec3f&) {}
    virtual void setBodyOrientation(int, const Quatf&) {}
    virtual void setBodyLinearVelocity(int, const Vec3f&) {}
    virtual void setBodyAngularVelocity(int, const Vec3f&) {}
    virtual Vec3f bodyPosition(int) const { return {}; }
    // The body's pose as 16 floats in OpenGL's column-major order.
    virtual void bodyMatrix(int, float out[16]) const {
        for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
};

// The frame's two steps: physics runs at half the real frame time, plus a
// fixed extra millisecond, so a 40 ms frame advances the world by 0.021 s.
inline void stepPhysicsForFrame(PhysicsWorld& world, float frameTime) {
    constexpr float kTimeScale = 0.5f;
    constexpr float kExtraStep = 0.001f;
    world.stepPhysics(frameTime * kTimeScale);
    world.stepPhysics(kExtraStep);
}

}  // namespace xmo
