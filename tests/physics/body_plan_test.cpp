#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "physics/body_plan.h"
#include "physics/physics_test_support.h"

namespace xmo {
namespace {

using test::addModel;
using test::addObject;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// What the plan gives one model; index -1: nothing at all.
struct Expected {
    int id;
    int index;
    int attachedTo = -1;
    BodyShape shape = BodyShape::Box;
    Vec3f size{};  // checked only when given
    float mass = 1.0f;
    Vec3f position{};
    Vec3f offset{};
};

const PlannedBody* plannedFor(const BodyPlan& plan, int id) {
    for (const PlannedBody& b : plan.bodies)
        if (b.model->id == id) return &b;
    return nullptr;
}

TEST(BodyPlan, ModelsGetABodyAPartOrNothing) {
    struct Case {
        const char* name;
        std::function<void(Movie&)> build;
        std::vector<Expected> expected;
        std::vector<std::string> problems;
    };
    const Case cases[] = {
        {"a sphere's diameter is its object's x edge",
         [](Movie& m) {
             Model& s = addModel(m.models, 1, {0, 3, 0});
             s.collisiontype = 1;
             s.object = &addObject(m, {-1, -2, -3}, {1, 2, 3});
             s.computeExtents();
         },
         {{1, 0, -1, BodyShape::Sphere, {2, 0, 0}, 1, {0, 3, 0}}},
         {}},
        {"a nested sphere takes the x edge of its boxsize; a body in a transform is reported, a part is not",
         [](Movie& m) {
             auto group = std::make_unique<ModelTransform>();
             Model& s = addModel(group->children, 1, {0, 1, 0});
             s.collisiontype = 1;
             s.boxsize = {3, 1, 1};
             Model& part = addModel(group->children, 2, {0, 1, 0});
             part.boxsize = {1, 1, 1};
             part.relativeModel = &s;
             m.models.push_back(std::move(group));
         },
         {{1, 0, -1, BodyShape::Sphere, {3, 0, 0}, 1, {0, 1, 0}}, {2, 1, 0}},
         {"test.xmo:1: Model 1: a physical model inside a ModelTransform is simulated in world coordinates but "
          "drawn through the transform too; it shows displaced unless the transform stays at the origin, unrotated"}},
        {"collisiontype 2 is not physical; indexes stay dense",
         [](Movie& m) {
             addModel(m.models, 1, {}).collisiontype = 2;
             addModel(m.models, 2, {}).boxsize = {1, 1, 1};
             addModel(m.models, 3, {}, false);
         },
         {{1, -1}, {2, 0}, {3, -1}},
         {"test.xmo:1: Model 1: collisiontype 2 is neither 0 (box) nor 1 (sphere); the model gets no body and is "
          "not simulated"}},
        {"masses that are not positive become 1",
         [](Movie& m) {
             addModel(m.models, 1, {}).mass = 0.0f;
             addModel(m.models, 2, {}).mass = -3.0f;
             addModel(m.models, 3, {}).mass = kNaN;
             addModel(m.models, 4, {}).mass = 2.5f;
             for (auto& model : m.models) static_cast<Model&>(*model).boxsize = {1, 1, 1};
         },
         {{1, 0, -1, BodyShape::Box, {}, 1}, {2, 1, -1, BodyShape::Box, {}, 1}, {3, 2, -1, BodyShape::Box, {}, 1},
          {4, 3, -1, BodyShape::Box, {}, 2.5f}},
         {"test.xmo:1: Model 1: mass 0 is not a positive number; 1 is used",
          "test.xmo:2: Model 2: mass -3 is not a positive number; 1 is used",
          "test.xmo:3: Model 3: mass nan is not a positive number; 1 is used"}},
        {"unusable edges fall back to the object's bounds, then to 0.01",
         [](Movie& m) {
             Model& withObject = addModel(m.models, 1, {});
             withObject.boxsize = {0, 2, -1};
             withObject.object = &addObject(m, {0, 0, 0}, {4, 5, 6});
             addModel(m.models, 2, {}).boxsize = {kInf, 1, 0};
         },
         {{1, 0, -1, BodyShape::Box, {4, 2, 6}}, {2, 1, -1, BodyShape::Box, {0.01f, 1, 0.01f}}},
         {"test.xmo:1: Model 1: boxsize 0 2 -1 is not a usable size; 4 2 6 is used",
          "test.xmo:2: Model 2: boxsize inf 1 0 is not a usable size; 0.01 1 0.01 is used"}},
        {"positions outside the world become 0 on that axis",
         [](Movie& m) {
             addModel(m.models, 1, {kNaN, 2, -kInf}).boxsize = {1, 1, 1};
             addModel(m.models, 2, {2e6f, 1, 0}).boxsize = {1, 1, 1};
         },
         {{1, 0, -1, BodyShape::Box, {}, 1, {0, 2, 0}}, {2, 1, -1, BodyShape::Box, {}, 1, {0, 1, 0}}},
         {"test.xmo:1: Model 1: position nan 2 -inf lies outside the world; 0 2 0 is used",
          "test.xmo:2: Model 2: position 2e+06 1 0 lies outside the world; 0 1 0 is used"}},
        {"a part before its parent: tree-order indexes, offset from the parent",
         [](Movie& m) {
             Model& part = addModel(m.models, 1, {3, 4, 5});
             Model& parent = addModel(m.models, 2, {1, 1, 1});
             Model& plain = addModel(m.models, 3, {0, 0, 0});
             for (Model* model : {&part, &parent, &plain}) model->boxsize = {1, 1, 1};
             part.relativeModel = &parent;
             part.relative = {0, 0.5f, 0};
             part.collisiontype = 1;  // a part is a box whatever it says
             Model& centred = addModel(m.models, 4, {9, 9, 9});
             centred.boxsize = {1, 1, 1};
             centred.relativeModel = &parent;
         },
         {{1, 0, 1, BodyShape::Box, {1, 1, 1}, 1, {}, {2, 3.5f, 4}},
          {2, 1, -1, BodyShape::Box, {1, 1, 1}, 1, {1, 1, 1}},
          {3, 2},
          {4, 3, 1, BodyShape::Box, {1, 1, 1}, 1, {}, {0, 0, 0}}},
         {}},
        {"a part of a model without a body of its own gets nothing",
         [](Movie& m) {
             Model& ground = addModel(m.models, 1, {}, false);
             Model& parent = addModel(m.models, 2, {});
             parent.boxsize = {1, 1, 1};
             Model& onGround = addModel(m.models, 3, {});
             onGround.relativeModel = &ground;
             onGround.relativemodelid = 1;
             Model& onPart = addModel(m.models, 4, {});
             onPart.relativemodelid = 3;
             onPart.relativeModel = &onGround;
         },
         {{1, -1}, {2, 0}, {3, -1}, {4, -1}},
         {"test.xmo:3: Model 3: relativemodelid 1 names a model without a body of its own; the part gets no "
          "collision geometry",
          "test.xmo:4: Model 4: relativemodelid 3 names a model without a body of its own; the part gets no "
          "collision geometry"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Movie movie;
        movie.fileName = "test.xmo";
        c.build(movie);
        const BodyPlan plan = planBodies(movie);
        for (const Expected& e : c.expected) {
            SCOPED_TRACE("model " + std::to_string(e.id));
            const PlannedBody* b = plannedFor(plan, e.id);
            if (e.index < 0) {
                EXPECT_EQ(b, nullptr);
                continue;
            }
            ASSERT_NE(b, nullptr);
            EXPECT_EQ(b - plan.bodies.data(), e.index);
            EXPECT_EQ(b->attachedTo, e.attachedTo);
            EXPECT_EQ(b->shape, e.shape);
            if (e.size != Vec3f{}) {
                EXPECT_EQ(b->size, e.size);
            }
            if (b->isPart()) {
                EXPECT_EQ(b->offset, e.offset);
            } else {
                EXPECT_EQ(b->mass, e.mass);
                EXPECT_EQ(b->position, e.position);
            }
        }
        std::vector<std::string> problems;
        for (const Diagnostic& d : plan.problems) problems.push_back(formatDiagnostic(d));
        EXPECT_EQ(problems, c.problems);
    }
}

TEST(BodyPlan, OrientationsAreUnitLengthOrNone) {
    struct Case {
        Quatf rotation;
        Quatf expected;
        bool reported;
    };
    const Case cases[] = {
        // The engine takes the axis as written and normalises the quaternion.
        {Quatf::fromAxisAngle({0, 0, 2}, 90), Quatf{0, 0, 0.894427f, 0.447214f}, false},
        {Quatf{0, 0, 0, 0}, Quatf{}, true},
        {Quatf{kNaN, 0, 0, 1}, Quatf{}, true},
    };
    for (const Case& c : cases) {
        Movie movie;
        Model& m = addModel(movie.models, 1, {});
        m.boxsize = {1, 1, 1};
        m.rotation = c.rotation;
        const BodyPlan plan = planBodies(movie);
        const Quatf& q = plan.bodies.at(0).orientation;
        EXPECT_NEAR(q.w, c.expected.w, 1e-5f);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(q.v[i], c.expected.v[i], 1e-5f);
        EXPECT_EQ(plan.problems.size(), c.reported ? 1u : 0u);
    }
}

TEST(BodyPlan, JoinsNeedBodiesAndContactsNeedGeometry) {
    // Models 1 and 2 have bodies, 3 is a part of 1, 4 is not physical.
    test::LoadedWorld t(
        "<Objects><BrikObject id='1' size='1 1 1'/></Objects><Models>"
        "<Model id='1' objectid='1' physicalbased='true' mass='1'/>"
        "<Model id='2' objectid='1' physicalbased='true' mass='1' position='3 0 0'/>"
        "<Model id='3' objectid='1' physicalbased='true' relativemodelid='1'/>"
        "<Model id='4' objectid='1'/></Models>",
        "<Joins>"
        "<Join id='10' modelid0='1' position='0 5 0'/>\n"
        "<Join id='11' modelid0='3' modelid1='2'/>\n"
        "<Join id='12' modelid0='2' modelid1='4'/>\n"
        "<Join id='13' modelid0='1' modelid1='1'/>\n"
        "<Join id='14' modelid0='2' modelid1='1' position='1.5 0 0'/>\n"
        "<Join id='15' modelid0='7'/>\n"
        "</Joins><Contacts>"
        "<Contact id='20' modelid0='1' modelid1='3'/>\n"
        "<Contact id='21' modelid0='4' modelid1='2'/>\n"
        "<Contact id='22' modelid0='2'/>\n"
        "</Contacts>");
    const BodyPlan& plan = t.world.plan();
    ASSERT_EQ(plan.joins.size(), 2u);
    EXPECT_EQ(plan.joins[0].join->id, 10);
    EXPECT_EQ(plan.joins[0].body1, -1);
    EXPECT_EQ(plan.joins[1].join->id, 14);
    EXPECT_EQ(plan.joins[1].body0, 1);
    EXPECT_EQ(plan.joins[1].body1, 0);
    // Joint indexes count the joints made; skipped joins keep -1.
    std::vector<int> joints;
    for (const auto& j : t.movie->joins) joints.push_back(j->joint);
    EXPECT_EQ(joints, (std::vector<int>{0, -1, -1, -1, 1, -1}));

    ASSERT_EQ(plan.contacts.size(), 1u);
    EXPECT_EQ(plan.contacts[0].contact->id, 20);
    EXPECT_EQ(plan.contacts[0].index1, 2);

    std::vector<std::string> problems;
    for (const Diagnostic& d : plan.problems) problems.push_back(formatDiagnostic(d));
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "test.xmo:2: Join 11: modelid0 3 has no body of its own; the join is skipped",
                            "test.xmo:3: Join 12: modelid1 4 has no body of its own; the join is skipped",
                            "test.xmo:4: Join 13: joins model 1 to itself; the join is skipped",
                            "test.xmo:8: Contact 21: modelid0 4 has no collision geometry; the contact has no effect",
                            "test.xmo:9: Contact 22: only modelid0 is given; a contact names the two models that "
                            "must not collide, so it has no effect",
                        }));
}

}  // namespace
}  // namespace xmo
