// The physics world with rigid-body dynamics, on ODE.
//
// Every call into the engine lives behind this class: the world with gravity
// (0, -9.81, 0), a collision space, the static ground plane y = 0, one body
// per planned body (body_plan.h) with its box or sphere geometry, box
// geometry for attached parts, ball joints for joins, and the pairs that
// contacts switch off. Contacts of one step are made in the collision pass
// and dropped after the step.
//
// Rules the world keeps:
// - Bodies start disabled. A disabled body neither moves nor is an obstacle:
//   its geometry and its parts' geometry take no part in collisions, and its
//   joints stay off until both of their bodies are enabled, so the engine
//   never wakes it through an enabled neighbour. The engine never disables a
//   body by itself.
// - The solver is the engine's iterative one: its cost grows with the number
//   of contacts, where the exact solver's grows with their cube and cannot
//   carry even a heap of twenty boxes at frame rate.
// - One step covers at most 0.05 s; a longer step is split, and beyond ten
//   pieces the rest of the time is dropped, so a stalled frame neither
//   tunnels bodies through the plane nor stalls the film further.
// - At most 8192 contacts are made per step (4 per touching pair), so
//   thousands of bodies dropped on one spot cost time but never hang.
// - A body that leaves the world (kWorldLimit) or whose state is no longer
//   finite is put back where it was before that step and switched off.
// - The same film stepped the same way moves the same, to the bit, in every
//   world and every run.
#pragma once

#include <cstdint>
#include <vector>

#include "physics/body_plan.h"
#include "physics/physics_world.h"

struct dxWorld;
struct dxSpace;
struct dxGeom;
struct dxBody;
struct dxJoint;
struct dxJointGroup;

namespace xmo {

class OdeWorld final : public PhysicsWorld {
public:
    OdeWorld();
    ~OdeWorld() override;
    OdeWorld(const OdeWorld&) = delete;
    OdeWorld& operator=(const OdeWorld&) = delete;

    void createGroundPlane() override;

    void buildPhysicalModels(Movie& movie) override;
    void createJoints(Movie& movie) override;
    void applyContacts(Movie& movie) override;

    void stepPhysics(float h) override;

    bool isBodyEnabled(int index) const override;
    void enableBody(int index) override;
    void setBodyPosition(int index, const Vec3f& p) override;
    void setBodyOrientation(int index, const Quatf& q) override;
    void setBodyLinearVelocity(int index, const Vec3f& v) override;
    void setBodyAngularVelocity(int index, const Vec3f& v) override;
    Vec3f bodyPosition(int index) const override;
    void bodyMatrix(int index, float out[16]) const override;

    // What the world was built from, problems included.
    const BodyPlan& plan() const { return plan_; }

private:
    struct Entry {
        dxBody* body = nullptr;  // null for a part
        dxGeom* geom = nullptr;
        Model* model = nullptr;
        double poseBeforeStep[7] = {};  // position, then quaternion w x y z
    };
    struct BallJoint {
        dxJoint* joint = nullptr;
        int body0 = -1;
        int body1 = -1;  // -1: the world
    };

    static void nearCallback(void* world, dxGeom* a, dxGeom* b);
    void collide(dxGeom* a, dxGeom* b);
    bool contactSwitchedOff(int index0, int index1) const;
    void substep(double h);
    void returnRunaways();
    void updatePartMatrices();
    void setActive(int index, bool active);
    void updateJointSwitches();
    dxBody* bodyAt(int index) const;

    dxWorld* world_ = nullptr;
    dxSpace* space_ = nullptr;
    dxJointGroup* contactGroup_ = nullptr;
    dxGeom* plane_ = nullptr;
    BodyPlan plan_;
    std::vector<Entry> entries_;  // by shared index
    std::vector<BallJoint> joints_;
    std::vector<std::uint64_t> switchedOff_;  // sorted index pairs, lower index high
    int contactsThisStep_ = 0;
    unsigned long randomSeed_ = 0;  // where this world's random sequence stands
};

}  // namespace xmo
