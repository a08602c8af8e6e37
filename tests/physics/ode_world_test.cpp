#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "motion/animation.h"
#include "physics/physics_test_support.h"
#include "scene/brick_geometry.h"

namespace xmo {
namespace {

using test::distance;
using test::LoadedWorld;

// The edges of a brick's box; a brick of 5 by 12 by 5 is about a unit cube.
Vec3f brickSize(const Vec3f& studs) {
    Vec3f min, max;
    brickBounds(studs, min, max);
    return max - min;
}

std::string brick(const char* studs) { return std::string("<Objects><BrikObject id='1' size='") + studs + "'/></Objects>"; }

std::string physicalModel(int id, const char* position, const char* extra = "") {
    return "<Model id='" + std::to_string(id) + "' objectid='1' physicalbased='true' mass='1' position='" +
           position + "' " + extra + "/>";
}

Vec3f transformed(const float m[16], const Vec3f& p) {
    Vec3f out;
    for (int r = 0; r < 3; ++r) out.e[r] = m[r] * p.e[0] + m[4 + r] * p.e[1] + m[8 + r] * p.e[2] + m[12 + r];
    return out;
}

TEST(OdeWorld, DroppedBodiesComeToRestOnThePlaneAndStay) {
    struct Case {
        const char* name;
        const char* studs;
        const char* extra;
        float restHeight;  // the centre's height at rest
    };
    const Case cases[] = {
        {"box", "2 3 4", "", brickSize({2, 3, 4}).e[1] / 2},
        {"turned box", "5 12 5", "rotation='0 1 0 30'", brickSize({5, 12, 5}).e[1] / 2},
        {"sphere", "2 1 2", "collisiontype='1'", brickSize({2, 1, 2}).e[0] / 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedWorld t(brick(c.studs) + "<Models>" + physicalModel(1, "0 2 0", c.extra) + "</Models>");
        t.enable({1});
        const int body = t.model(1).bodyIndex;
        t.run(3.0f);
        const Vec3f rest = t.world.bodyPosition(body);
        EXPECT_NEAR(rest.e[1], c.restHeight, 0.01f * c.restHeight);
        float drift = 0.0f;
        for (int frame = 0; frame < 476; ++frame) {  // 10 s of 40 ms frames
            stepPhysicsForFrame(t.world, 0.04f);
            drift = std::max(drift, distance(t.world.bodyPosition(body), rest));
        }
        EXPECT_LT(drift, 0.001f);
    }
}

// Free fall over the listed steps, as the engine integrates it: velocity
// first, then the position with the new velocity.
float fallOver(const std::vector<double>& steps) {
    double v = 0.0, y = 0.0;
    for (double h : steps) {
        v -= 9.81 * h;
        y += v * h;
    }
    return static_cast<float>(-y);
}

TEST(OdeWorld, AFrameStepsHalfItsTimeThenAMillisecond) {
    struct Case {
        float frameTime;
        std::vector<double> steps;
    };
    const Case cases[] = {
        {0.04f, {0.02, 0.001}},
        // Steps longer than 0.05 s are split; a stall is cut at ten pieces.
        {0.2f, {0.05, 0.05, 0.001}},
        {60.0f, {0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.05, 0.001}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frameTime);
        LoadedWorld t(brick("5 12 5") + "<Models>" + physicalModel(1, "0 10 0") + "</Models>");
        t.enable({1});
        stepPhysicsForFrame(t.world, c.frameTime);
        EXPECT_NEAR(10.0f - t.world.bodyPosition(0).e[1], fallOver(c.steps), 2e-5f);
    }
    // A 40 ms frame is not one step of 0.021 s.
    EXPECT_GT(std::fabs(fallOver({0.02, 0.001}) - fallOver({0.021})), 1e-4f);
}

TEST(OdeWorld, APendulumSwingsAboutItsFixedPoint) {
    LoadedWorld t(brick("5 12 5") + "<Models>" + physicalModel(1, "2 5 0") + "</Models>",
                  "<Joins><Join modelid0='1' modelid1='-1' position='0 5 0'/></Joins>");
    t.enable({1});
    const Vec3f anchor{0, 5, 0};
    float lowestX = 2.0f, worstLength = 0.0f;
    for (int frame = 0; frame < 238; ++frame) {  // 5 s
        stepPhysicsForFrame(t.world, 0.04f);
        const Vec3f p = t.world.bodyPosition(0);
        lowestX = std::min(lowestX, p.e[0]);
        worstLength = std::max(worstLength, std::fabs(distance(p, anchor) - 2.0f));
    }
    EXPECT_LT(worstLength, 0.02f);
    EXPECT_LT(lowestX, -1.0f);
}

TEST(OdeWorld, AChainOfJoinsHangsTogether) {
    LoadedWorld t(brick("5 12 5") + "<Models>" + physicalModel(1, "1 5 0") + physicalModel(2, "3 5 0") + "</Models>",
                  "<Joins><Join modelid0='1' position='0 5 0'/><Join modelid0='2' modelid1='1' position='2 5 0'/>"
                  "</Joins>");
    t.enable({1, 2});
    float worstLink = 0.0f, worstShared = 0.0f, lowestB = 5.0f;
    for (int frame = 0; frame < 238; ++frame) {
        stepPhysicsForFrame(t.world, 0.04f);
        float a[16], b[16];
        t.world.bodyMatrix(0, a);
        t.world.bodyMatrix(1, b);
        // The second joint's point, seen from each of its two bodies, which
        // lie 2 units apart along the chain.
        worstShared = std::max(worstShared, distance(transformed(a, {1, 0, 0}), transformed(b, {-1, 0, 0})));
        worstLink = std::max(worstLink, std::fabs(distance(t.world.bodyPosition(0), {0, 5, 0}) - 1.0f));
        lowestB = std::min(lowestB, t.world.bodyPosition(1).e[1]);
    }
    EXPECT_LT(worstLink, 0.01f);
    EXPECT_LT(worstShared, 0.05f);
    EXPECT_LT(lowestB, 3.0f);  // it did swing down
}

TEST(OdeWorld, AContactKeepsTwoOverlappingBoxesFromPushingApart) {
    struct Case {
        const char* name;
        const char* contacts;
        std::vector<std::vector<int>> enablings;  // one "enablemodels" each, 0.5 s apart
        bool pushedApart;
    };
    const Case cases[] = {
        {"contact, both enabled", "<Contact modelid0='1' modelid1='2'/>", {{1, 2}}, false},
        {"contact in either order", "<Contact modelid0='2' modelid1='1'/>", {{1}, {2}}, false},
        {"no contact", "", {{1, 2}}, true},
        {"contact with only modelid0", "<Contact modelid0='1'/>", {{1, 2}}, true},
    };
    const float half = brickSize({5, 12, 5}).e[1] / 2;
    const std::string y = std::to_string(half);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedWorld t(brick("5 12 5") + "<Models>" + physicalModel(1, ("0 " + y + " 0").c_str()) +
                          physicalModel(2, ("0.3 " + y + " 0").c_str()) + "</Models>",
                      std::string("<Contacts>") + c.contacts + "</Contacts>");
        for (const auto& ids : c.enablings) {
            for (int id : ids) t.model(id).setEnabled(true);
            t.world.applyContacts(*t.movie);
            t.run(0.5f);
        }
        t.run(1.0f);
        const float apart = t.world.bodyPosition(1).e[0] - t.world.bodyPosition(0).e[0];
        if (c.pushedApart) {
            EXPECT_GT(apart, 0.5f);
        } else {
            EXPECT_NEAR(apart, 0.3f, 0.001f);
        }
    }
}

TEST(OdeWorld, ADisabledBodyNeitherMovesNorStopsOthers) {
    // 1 falls through the place of 2; 3 is joined to 1 but stays disabled.
    LoadedWorld t(brick("5 12 5") + "<Models>" + physicalModel(1, "0 3 0") + physicalModel(2, "0 1.5 0") +
                      physicalModel(3, "2 4 0") + "</Models>",
                  "<Joins><Join modelid0='1' modelid1='3' position='1 3.5 0'/></Joins>");
    t.enable({1});
    t.run(3.0f);
    EXPECT_NEAR(t.world.bodyPosition(0).e[1], brickSize({5, 12, 5}).e[1] / 2, 0.01f);
    for (int id : {2, 3}) {
        const Model& m = t.model(id);
        EXPECT_FALSE(t.world.isBodyEnabled(m.bodyIndex));
        EXPECT_EQ(t.world.bodyPosition(m.bodyIndex), m.position);
    }
}

TEST(OdeWorld, AForceKeyActsOnceThroughTheAnimation) {
    LoadedWorld t(brick("5 12 5") + "<Models>" + physicalModel(1, "0 1 0") + "</Models>", "",
                  "<Animation modelid='1'><KeyFrameForce keytime='0.5' position='5 3 0' linearvelocity='2 0 0' "
                  "angularvelocity='0 0 1'/></Animation>");
    t.enable({1});
    const auto& animations = t.movie->sequences[0]->animations;
    BSplineScratch scratch;
    std::ostringstream console;
    applyAnimations(animations, 0.6f, scratch, console);
    EXPECT_EQ(t.world.bodyPosition(0), (Vec3f{5, 3, 0}));
    t.run(0.5f);
    const Vec3f moved = t.world.bodyPosition(0);
    EXPECT_NEAR(moved.e[0], 6.0f, 0.05f);
    EXPECT_LT(moved.e[1], 3.0f);
    applyAnimations(animations, 1.2f, scratch, console);
    EXPECT_EQ(t.world.bodyPosition(0), moved);
}

TEST(OdeWorld, APartRidesOnItsBodyAndRestsOnThePlane) {
    const float h = brickSize({5, 12, 5}).e[1];
    const std::string below = "relativemodelid='1' relative='0 " + std::to_string(-h / 2) + " 0'";
    LoadedWorld t(brick("5 12 5") + "<Models>" + physicalModel(2, "0 3 0", below.c_str()) +
                  physicalModel(1, "0 3 0") + "</Models>");
    const Model& part = t.model(2);
    EXPECT_EQ(part.bodyIndex, 0);
    EXPECT_EQ(part.physics, &t.world);
    t.enable({1});
    t.run(3.0f);
    // The part overlaps its own body without pushing it, and holds it up.
    const Vec3f body = t.world.bodyPosition(1);
    EXPECT_NEAR(body.e[1], h, 0.01f * h);
    const Vec4f& at = part.partWorld.row[3];
    EXPECT_NEAR(at.e[1], h / 2, 0.01f * h);
    EXPECT_NEAR(at.e[0], body.e[0], 1e-4f);
}

// Bricks tumbling onto one another, and one swinging from a join into them:
// contacts and joints, where the engine's solver draws random numbers.
std::string tumblingHeap() {
    std::string models;
    for (int i = 0; i < 6; ++i) {
        const std::string at = std::to_string(0.3f * i) + " " + std::to_string(1.0f + 1.1f * i) + " 0";
        models += physicalModel(1 + i, at.c_str(), "rotation='1 1 0 25'");
    }
    models += physicalModel(7, "-3 4.5 0");
    return brick("5 12 5") + "<Models>" + models + "</Models>";
}

std::vector<float> bodyMatrices(const OdeWorld& world, int bodies) {
    std::vector<float> out(16 * static_cast<size_t>(bodies));
    for (int i = 0; i < bodies; ++i) world.bodyMatrix(i, &out[16 * static_cast<size_t>(i)]);
    return out;
}

TEST(OdeWorld, AFilmPlaysTheSameInEveryWorldEvenWhenWorldsTakeTurns) {
    const std::string joins = "<Joins><Join modelid0='7' position='-1.5 4.5 0'/></Joins>";
    constexpr int kBodies = 7;
    const auto play = [&](std::vector<LoadedWorld*> worlds) {
        for (LoadedWorld* w : worlds) w->enable({1, 2, 3, 4, 5, 6, 7});
        for (int frame = 0; frame < 100; ++frame)
            for (LoadedWorld* w : worlds) stepPhysicsForFrame(w->world, 0.04f);
    };
    LoadedWorld alone(tumblingHeap(), joins);
    play({&alone});
    const std::vector<float> expected = bodyMatrices(alone.world, kBodies);
    // The heap did move: a world that kept still would match trivially.
    EXPECT_LT(expected[16 * 5 + 13], 3.0f);

    LoadedWorld first(tumblingHeap(), joins), second(tumblingHeap(), joins);
    play({&first, &second});
    EXPECT_EQ(bodyMatrices(first.world, kBodies), expected);
    EXPECT_EQ(bodyMatrices(second.world, kBodies), expected);
}

TEST(OdeWorld, BadInputNeitherCrashesNorHangs) {
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    Movie movie;
    const std::vector<Vec3f> odd = {{kNaN, 1, 0}, {0, kInf, 0}, {3, 1, 0}, {5, 1, 0}, {7, 1, 0}};
    for (size_t i = 0; i < odd.size(); ++i) {
        Model& m = test::addModel(movie.models, static_cast<int>(i), odd[i]);
        m.boxsize = {1, 1, 1};
    }
    static_cast<Model&>(*movie.models[2]).mass = -1.0f;
    static_cast<Model&>(*movie.models[3]).boxsize = {0, -1, kNaN};
    static_cast<Model&>(*movie.models[4]).rotation = Quatf{kInf, 0, 0, 0};
    constexpr int kHeap = 1000;
    for (int i = 0; i < kHeap; ++i) test::addModel(movie.models, 100 + i, {0, 2, 0}).boxsize = {1, 1, 1};

    OdeWorld world;
    world.createGroundPlane();
    world.buildPhysicalModels(movie);
    world.createJoints(movie);
    for (auto& m : movie.models) m->setEnabled(true);
    world.applyContacts(movie);
    // Force keys with values the engine cannot take.
    world.setBodyPosition(2, {kNaN, 0, 0});
    world.setBodyOrientation(2, Quatf{0, 0, 0, 0});
    world.setBodyAngularVelocity(2, {kInf, 0, 0});
    world.setBodyLinearVelocity(4, {1e30f, 0, 0});
    const Vec3f before = world.bodyPosition(4);
    for (int frame = 0; frame < 5; ++frame) stepPhysicsForFrame(world, 0.04f);

    for (int i = 0; i < kHeap + static_cast<int>(odd.size()); ++i) {
        const Vec3f p = world.bodyPosition(i);
        for (float c : p.e) ASSERT_TRUE(std::isfinite(c) && std::fabs(c) <= kWorldLimit) << "body " << i;
    }
    // The body sent beyond the world is back where it was, and switched off.
    EXPECT_EQ(world.bodyPosition(4), before);
    EXPECT_FALSE(world.isBodyEnabled(4));
    EXPECT_TRUE(world.isBodyEnabled(2));
}

}  // namespace
}  // namespace xmo
