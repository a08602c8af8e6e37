// The physics world: rigid bodies for physical models, stepped every frame.
//
// The player owns one PhysicsWorld for the whole run. After the movie is
// loaded it builds a body (or an attached collision part) per physical model,
// the joints of the joins and the contact switches; each frame it is stepped
// twice. Models reach their body through Model::physics and bodyIndex.
//
// No rigid-body engine is attached yet: this world holds no bodies, so
// building creates nothing, every model keeps bodyIndex -1 and is placed by
// its own position and rotation, and stepping does nothing.
#pragma once

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

struct Movie;
class Model;

// The operations that timed commands and force keys call are virtual so
// that tests can observe them through a recording world.
class PhysicsWorld {
public:
    virtual ~PhysicsWorld() = default;

    // Start-up: world, ground plane, collision space.
    void initPhysicsWorld() {}
    void createGroundPlane() {}
    virtual void refreshCollisionSpace() {}

    // End of loading, in this order.
    void buildPhysicalModels(Movie&) {}
    void createJoints(Movie&) {}
    virtual void applyContacts(Movie&) {}

    // Each frame: collision pairs, then the world by h seconds.
    void stepPhysics(float /*h*/) {}

    // Body access by a model's bodyIndex.
    bool isBodyEnabled(int) const { return false; }
    void enableBody(int) {}
    virtual void setBodyPosition(int, const Vec3f&) {}
    virtual void setBodyOrientation(int, const Quatf&) {}
    virtual void setBodyLinearVelocity(int, const Vec3f&) {}
    virtual void setBodyAngularVelocity(int, const Vec3f&) {}
    Vec3f bodyPosition(int) const { return {}; }
    void bodyMatrix(int, float out[16]) const {
        for (int i = 0; i < 16; ++i) out[i] = (i % 5 == 0) ? 1.0f : 0.0f;
    }
};

}  // namespace xmo
