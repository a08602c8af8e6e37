// A physics world that records the calls made into it, one line per call, so
// tests can check what was asked of the bodies and in which order.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "physics/physics_world.h"

namespace xmo::test {

class RecordingPhysics : public PhysicsWorld {
public:
    std::vector<std::string> calls;

    void refreshCollisionSpace() override { calls.push_back("refreshCollisionSpace"); }
    void applyContacts(Movie&) override { calls.push_back("applyContacts"); }
    void setBodyPosition(int body, const Vec3f& p) override { record("position", body, p); }
    void setBodyOrientation(int body, const Quatf& q) override {
        std::ostringstream line;
        line << "orientation " << body << ' ' << q.v[0] << ' ' << q.v[1] << ' ' << q.v[2] << ' ' << q.w;
        calls.push_back(line.str());
    }
    void setBodyLinearVelocity(int body, const Vec3f& v) override { record("linearVelocity", body, v); }
    void setBodyAngularVelocity(int body, const Vec3f& v) override { record("angularVelocity", body, v); }

private:
    void record(const char* what, int body, const Vec3f& v) {
        std::ostringstream line;
        line << what << ' ' << body << ' ' << v[0] << ' ' << v[1] << ' ' << v[2];
        calls.push_back(line.str());
    }
};

}  // namespace xmo::test
