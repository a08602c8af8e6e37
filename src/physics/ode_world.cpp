#include "physics/ode_world.h"

#include <ode/ode.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "base/check.h"

namespace xmo {

namespace {

constexpr dReal kGravity = -9.81;
constexpr dReal kMostCorrectingSpeed = 1.0;  // units per second
constexpr dReal kSurfaceLayer = 0.001;
constexpr double kLongestStep = 0.05;
constexpr int kMostPiecesPerStep = 10;
constexpr int kContactsPerPair = 4;
constexpr int kMostContactsPerStep = 8192;

// Every contact: friction in two directions, soft, without restitution.
dSurfaceParameters contactSurface() {
    dSurfaceParameters s{};
    s.mode = dContactMu2 | dContactBounce | dContactSoftCFM;
    s.mu = 30.0;
    s.mu2 = 30.0;
    s.bounce = 0.0;
    s.bounce_vel = 0.001;
    s.soft_cfm = 0.0005;
    return s;
}
const dSurfaceParameters kContactSurface = contactSurface();

bool finite(const Vec3f& v) { return std::isfinite(v.e[0]) && std::isfinite(v.e[1]) && std::isfinite(v.e[2]); }

bool insideWorld(const dReal* p) {
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(p[i]) <= kWorldLimit)) return false;
    return true;
}

bool allFinite(const dReal* v, int count) {
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(v[i])) return false;
    return true;
}

// The engine's rotation rows and position as OpenGL's column-major matrix.
void poseMatrix(const dReal* r, const dReal* p, float out[16]) {
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) out[4 * column + row] = static_cast<float>(r[4 * row + column]);
        out[4 * column + 3] = 0.0f;
    }
    for (int i = 0; i < 3; ++i) out[12 + i] = static_cast<float>(p[i]);
    out[15] = 1.0f;
}

// The shared index travels with each geometry; the plane carries none.
void* geomData(int index) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(index) + 1); }
int geomIndex(dGeomID g) { return static_cast<int>(reinterpret_cast<std::intptr_t>(dGeomGetData(g))) - 1; }

std::uint64_t pairKey(int a, int b) {
    const auto low = static_cast<std::uint32_t>(std::min(a, b));
    const auto high = static_cast<std::uint32_t>(std::max(a, b));
    return (std::uint64_t{low} << 32) | high;
}

}  // namespace

OdeWorld::OdeWorld() {
    dInitODE2(0);
    dAllocateODEDataForThread(dAllocateMaskAll);
    world_ = dWorldCreate();
    dWorldSetGravity(world_, 0.0, kGravity, 0.0);
    dWorldSetAutoDisableFlag(world_, 0);
    // The frame's second step is only a millisecond long: pushing a
    // penetration out within one step of that length would fire a falling
    // box back into the air, so bodies leave each other at a bounded speed,
    // and a thin layer of overlap is left alone so resting bodies stay still.
    dWorldSetContactMaxCorrectingVel(world_, kMostCorrectingSpeed);
    dWorldSetContactSurfaceLayer(world_, kSurfaceLayer);
    // Every pair is tested in the simple space: it allocates nothing per
    // step (the hash space builds its tables on the heap each time), and at
    // a few hundred bodies the pair tests cost less than the contacts.
    space_ = dSimpleSpaceCreate(nullptr);
    contactGroup_ = dJointGroupCreate(0);
}

OdeWorld::~OdeWorld() {
    dJointGroupDestroy(contactGroup_);
    dSpaceDestroy(space_);  // destroys the geometry it holds
    dWorldDestroy(world_);  // destroys the bodies and joints
    dCloseODE();
}

void OdeWorld::createGroundPlane() {
    if (plane_) return;
    plane_ = dCreatePlane(space_, 0.0, 1.0, 0.0, 0.0);
    dGeomSetData(plane_, nullptr);
}

void OdeWorld::buildPhysicalModels(Movie& movie) {
    XMO_CHECK(entries_.empty(), "physics");
    plan_ = planBodies(movie);
    entries_.resize(plan_.bodies.size());
    // Bodies first: a part may come before the model it rides on.
    for (size_t i = 0; i < plan_.bodies.size(); ++i) {
        const PlannedBody& planned = plan_.bodies[i];
        if (planned.isPart()) continue;
        Entry& entry = entries_[i];
        entry.body = dBodyCreate(world_);
        dBodyDisable(entry.body);
        dBodySetPosition(entry.body, planned.position.e[0], planned.position.e[1], planned.position.e[2]);
        const Quatf& q = planned.orientation;
        const dQuaternion orientation{q.w, q.v.e[0], q.v.e[1], q.v.e[2]};
        dBodySetQuaternion(entry.body, orientation);
        // Only the mass is the model's: the inertia is 0.4 times the
        // identity whatever the mass, size or shape.
        dMass mass;
        dMassSetParameters(&mass, planned.mass, 0.0, 0.0, 0.0, 0.4, 0.4, 0.4, 0.0, 0.0, 0.0);
        dBodySetMass(entry.body, &mass);
        entry.geom = planned.shape == BodyShape::Sphere
                         ? dCreateSphere(space_, planned.size.e[0] / 2.0)
                         : dCreateBox(space_, planned.size.e[0], planned.size.e[1], planned.size.e[2]);
        dGeomSetBody(entry.geom, entry.body);
    }
    // A part's geometry rides on its body, so the two never collide.
    for (size_t i = 0; i < plan_.bodies.size(); ++i) {
        const PlannedBody& planned = plan_.bodies[i];
        if (!planned.isPart()) continue;
        Entry& entry = entries_[i];
        entry.geom = dCreateBox(space_, planned.size.e[0], planned.size.e[1], planned.size.e[2]);
        dGeomSetBody(entry.geom, entries_[static_cast<size_t>(planned.attachedTo)].body);
        dGeomSetOffsetPosition(entry.geom, planned.offset.e[0], planned.offset.e[1], planned.offset.e[2]);
        Mat4x4f offset = Mat4x4f::identity();
        offset.row[3] = Vec4f{planned.offset.e[0], planned.offset.e[1], planned.offset.e[2], 1.0f};
        planned.model->partOffset = offset;
    }
    numberPlannedRecords(plan_);
    for (size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        entry.model = plan_.bodies[i].model;
        entry.model->physics = this;
        dGeomSetData(entry.geom, geomData(static_cast<int>(i)));
        dGeomDisable(entry.geom);
    }
    switchedOff_.reserve(plan_.contacts.size());
    updatePartMatrices();
}

// Each join's joint index was given with the bodies: its place in the plan.
void OdeWorld::createJoints(Movie&) {
    for (const PlannedJoin& planned : plan_.joins) {
        BallJoint ball{dJointCreateBall(world_, nullptr), planned.body0, planned.body1};
        dJointAttach(ball.joint, bodyAt(planned.body0), planned.body1 >= 0 ? bodyAt(planned.body1) : nullptr);
        dJointSetBallAnchor(ball.joint, planned.anchor.e[0], planned.anchor.e[1], planned.anchor.e[2]);
        joints_.push_back(ball);
    }
    updateJointSwitches();
}

void OdeWorld::applyContacts(Movie&) {
    for (const PlannedContact& c : plan_.contacts) {
        if (!c.contact->model0->enabled || !c.contact->model1->enabled) continue;
        const std::uint64_t key = pairKey(c.index0, c.index1);
        const auto at = std::lower_bound(switchedOff_.begin(), switchedOff_.end(), key);
        if (at == switchedOff_.end() || *at != key) switchedOff_.insert(at, key);
    }
}

bool OdeWorld::contactSwitchedOff(int index0, int index1) const {
    return std::binary_search(switchedOff_.begin(), switchedOff_.end(), pairKey(index0, index1));
}

void OdeWorld::stepPhysics(float h) {
    if (!(h > 0.0f) || !std::isfinite(h)) return;
    // A step that is a whole number of pieces (0.1 s as a float is a hair
    // over two) must not gain one more.
    const double pieces = std::ceil(h / kLongestStep * (1.0 - 1e-6));
    const int count = pieces < kMostPiecesPerStep ? static_cast<int>(pieces) : kMostPiecesPerStep;
    const double piece = std::min(static_cast<double>(h) / count, kLongestStep);
    // The iterative solver draws on the engine's one random sequence of the
    // process. Each world runs its own from the same start, so a film plays
    // the same way each time, however many worlds take turns.
    dRandSetSeed(randomSeed_);
    for (int i = 0; i < count; ++i) substep(piece);
    randomSeed_ = dRandGetSeed();
    updatePartMatrices();
}

void OdeWorld::substep(double h) {
    for (Entry& entry : entries_) {
        if (!entry.body || !dBodyIsEnabled(entry.body)) continue;
        const dReal* p = dBodyGetPosition(entry.body);
        const dReal* q = dBodyGetQuaternion(entry.body);
        std::copy(p, p + 3, entry.poseBeforeStep);
        std::copy(q, q + 4, entry.poseBeforeStep + 3);
    }
    contactsThisStep_ = 0;
    dSpaceCollide(space_, this, &OdeWorld::nearCallback);
    dWorldQuickStep(world_, h);
    dJointGroupEmpty(contactGroup_);
    returnRunaways();
}

void OdeWorld::nearCallback(void* world, dxGeom* a, dxGeom* b) { static_cast<OdeWorld*>(world)->collide(a, b); }

// Geometry of disabled bodies is disabled and never reaches this point; the
// engine itself skips pairs on one body.
void OdeWorld::collide(dxGeom* a, dxGeom* b) {
    if (contactsThisStep_ >= kMostContactsPerStep) return;
    const int indexA = geomIndex(a);
    const int indexB = geomIndex(b);
    if (indexA >= 0 && indexB >= 0 && contactSwitchedOff(indexA, indexB)) return;
    dContact contacts[kContactsPerPair];
    const int found = dCollide(a, b, kContactsPerPair, &contacts[0].geom, sizeof(dContact));
    const dBodyID bodyA = dGeomGetBody(a);
    const dBodyID bodyB = dGeomGetBody(b);
    for (int i = 0; i < found && contactsThisStep_ < kMostContactsPerStep; ++i, ++contactsThisStep_) {
        contacts[i].surface = kContactSurface;
        const dJointID joint = dJointCreateContact(world_, contactGroup_, &contacts[i]);
        dJointAttach(joint, bodyA, bodyB);
    }
}

void OdeWorld::returnRunaways() {
    for (size_t i = 0; i < entries_.size(); ++i) {
        Entry& entry = entries_[i];
        if (!entry.body || !dBodyIsEnabled(entry.body)) continue;
        const dReal* p = dBodyGetPosition(entry.body);
        if (insideWorld(p) && allFinite(dBodyGetQuaternion(entry.body), 4) &&
            allFinite(dBodyGetLinearVel(entry.body), 3) && allFinite(dBodyGetAngularVel(entry.body), 3))
            continue;
        const double* before = entry.poseBeforeStep;
        dBodySetPosition(entry.body, before[0], before[1], before[2]);
        const dQuaternion orientation{before[3], before[4], before[5], before[6]};
        dBodySetQuaternion(entry.body, orientation);
        dBodySetLinearVel(entry.body, 0.0, 0.0, 0.0);
        dBodySetAngularVel(entry.body, 0.0, 0.0, 0.0);
        setActive(static_cast<int>(i), false);
    }
}

// The engine keeps a part's world transform; drawing reads it from the model.
void OdeWorld::updatePartMatrices() {
    for (const Entry& entry : entries_) {
        if (entry.body) continue;
        float m[16];
        poseMatrix(dGeomGetRotation(entry.geom), dGeomGetPosition(entry.geom), m);
        entry.model->partWorld = Mat4x4f(m);
    }
}

// A body, its own geometry and its parts' geometry switch together; a joint
// works only while both of its bodies do.
void OdeWorld::setActive(int index, bool active) {
    dxBody* body = bodyAt(index);
    if (active) dBodyEnable(body);
    else dBodyDisable(body);
    for (const Entry& entry : entries_) {
        if (dGeomGetBody(entry.geom) != body) continue;
        if (active) dGeomEnable(entry.geom);
        else dGeomDisable(entry.geom);
    }
    updateJointSwitches();
}

void OdeWorld::updateJointSwitches() {
    for (const BallJoint& ball : joints_) {
        const bool on = isBodyEnabled(ball.body0) && (ball.body1 < 0 || isBodyEnabled(ball.body1));
        if (on) dJointEnable(ball.joint);
        else dJointDisable(ball.joint);
    }
}

dxBody* OdeWorld::bodyAt(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) return nullptr;
    return entries_[static_cast<size_t>(index)].body;
}

bool OdeWorld::isBodyEnabled(int index) const {
    const dBodyID body = bodyAt(index);
    return body && dBodyIsEnabled(body);
}

void OdeWorld::enableBody(int index) {
    if (bodyAt(index)) setActive(index, true);
}

void OdeWorld::setBodyPosition(int index, const Vec3f& p) {
    const dBodyID body = bodyAt(index);
    const dReal at[3] = {p.e[0], p.e[1], p.e[2]};
    if (body && insideWorld(at)) dBodySetPosition(body, at[0], at[1], at[2]);
}

void OdeWorld::setBodyOrientation(int index, const Quatf& q) {
    const dBodyID body = bodyAt(index);
    dQuaternion orientation{q.w, q.v.e[0], q.v.e[1], q.v.e[2]};
    if (!body || !allFinite(orientation, 4) || !dSafeNormalize4(orientation)) return;
    dBodySetQuaternion(body, orientation);
}

void OdeWorld::setBodyLinearVelocity(int index, const Vec3f& v) {
    const dBodyID body = bodyAt(index);
    if (body && finite(v)) dBodySetLinearVel(body, v.e[0], v.e[1], v.e[2]);
}

void OdeWorld::setBodyAngularVelocity(int index, const Vec3f& v) {
    const dBodyID body = bodyAt(index);
    if (body && finite(v)) dBodySetAngularVel(body, v.e[0], v.e[1], v.e[2]);
}

Vec3f OdeWorld::bodyPosition(int index) const {
    const dBodyID body = bodyAt(index);
    if (!body) return PhysicsWorld::bodyPosition(index);
    const dReal* p = dBodyGetPosition(body);
    return Vec3f{p[0], p[1], p[2]};
}

void OdeWorld::bodyMatrix(int index, float out[16]) const {
    const dBodyID body = bodyAt(index);
    if (!body) return PhysicsWorld::bodyMatrix(index, out);
    poseMatrix(dBodyGetRotation(body), dBodyGetPosition(body), out);
}

}  // namespace xmo
