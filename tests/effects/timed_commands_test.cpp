#include "effects/timed_commands.h"

#include <gtest/gtest.h>

#include <vector>

#include "movie/movie.h"
#include "support/recording_physics.h"

namespace xmo {
namespace {

struct Fixture {
    Movie movie;
    Sequence sequence;
    Model model;
    test::RecordingPhysics physics;
    Mat4x4f inverseView = Mat4x4f::identity();
    int quitCode = 0;

    Fixture() { model.drawnWithFunction = true; }

    XFunction& command(const char* type, float timer1) {
        auto xf = std::make_unique<XFunction>();
        xf->xfunctiontype = type;
        xf->commandType = commandTypeOf(type);
        xf->timer1 = timer1;
        xf->model = &model;
        xf->targets = {&model};
        sequence.xfunctions.push_back(std::move(xf));
        return *sequence.xfunctions.back();
    }

    void frame(float localTime) { runTimedCommands(movie, sequence, inverseView, localTime, physics, quitCode); }
};

TEST(TimedCommands, OneShotFiresAtTheFirstFrameAtItsTime) {
    Fixture f;
    XFunction& enable = f.command("enablemodels", 2.0f);
    f.frame(1.99f);
    EXPECT_FALSE(f.model.enabled);
    EXPECT_FALSE(enable.done);
    f.frame(2.02f);
    EXPECT_TRUE(f.model.enabled);
    EXPECT_TRUE(enable.done);
    EXPECT_FLOAT_EQ(enable.lastTime, 2.02f);
    EXPECT_EQ(f.physics.calls, (std::vector<std::string>{"applyContacts", "refreshCollisionSpace"}));
    // Done: a later disable by hand is not undone.
    f.model.enabled = false;
    f.frame(10.0f);
    EXPECT_FALSE(f.model.enabled);
}

TEST(TimedCommands, RepeatingCommandCountsFromItsLastFiring) {
    const struct {
        float timer1;
        std::vector<int> particlesAfterFrame;  // frames every 0.3 s from 0.3 on
    } cases[] = {
        {0.5f, {0, 1, 1, 2, 2, 3}},  // fires at 0.6, 1.2, 1.8
        {0.0f, {1, 2, 3, 4, 5, 6}},  // fires every frame
    };
    for (const auto& c : cases) {
        Fixture f;
        f.command("createparticles", c.timer1);
        std::vector<int> counts;
        for (int i = 1; i <= 6; ++i) {
            f.frame(0.3f * static_cast<float>(i));
            counts.push_back(static_cast<int>(f.sequence.particles.size()));
        }
        EXPECT_EQ(counts, c.particlesAfterFrame) << c.timer1;
        EXPECT_FALSE(f.sequence.xfunctions[0]->done);
    }
}

TEST(TimedCommands, CommandsOfOneFrameActInListOrder) {
    Fixture f;
    f.model.enabled = true;
    f.command("disablemodels", 0.0f);
    f.command("enablemodels", 0.0f);
    f.frame(0.0f);
    EXPECT_TRUE(f.model.enabled);

    Fixture g;
    g.command("enablemodels", 0.0f);
    g.command("disablemodels", 0.0f);
    g.frame(0.0f);
    EXPECT_FALSE(g.model.enabled);
}

TEST(TimedCommands, AnimatePhysicsSwitches) {
    Fixture f;
    Model other;
    f.command("enableanimatephysics", 1.0f).targets.push_back(&other);
    f.command("disableanimatephysics", 2.0f);
    f.frame(1.0f);
    EXPECT_TRUE(f.model.animatephysics);
    EXPECT_TRUE(other.animatephysics);
    f.frame(2.0f);
    EXPECT_FALSE(f.model.animatephysics);
    EXPECT_TRUE(other.animatephysics);
    EXPECT_TRUE(f.sequence.xfunctions[1]->done);
}

TEST(TimedCommands, ExitAndUnknownNamesKeepFiring) {
    Fixture f;
    XFunction& exit = f.command("exit", 3.0f);
    XFunction& unknown = f.command("Exit", 0.0f);
    f.frame(2.0f);
    EXPECT_EQ(f.quitCode, 0);
    f.frame(3.0f);
    EXPECT_EQ(f.quitCode, 2);
    EXPECT_FALSE(exit.done);
    EXPECT_FALSE(unknown.done);
    EXPECT_FLOAT_EQ(unknown.lastTime, 3.0f);
    EXPECT_TRUE(f.physics.calls.empty());
}

TEST(TimedCommands, ParticlesStartWhereTheModelWasDrawn) {
    Fixture f;
    // Drawn at (1, 2, 3) in eye space; the view turns a quarter about z and
    // moves by (10, 20, 30).
    Mat4x4f modelView = Mat4x4f::identity();
    modelView[3] = Vec4f{1, 2, 3, 1};
    modelView.toFloats(f.model.lastModelView);
    f.inverseView = Mat4x4f::identity();
    f.inverseView[0] = Vec4f{0, 1, 0, 0};
    f.inverseView[1] = Vec4f{-1, 0, 0, 0};
    f.inverseView[3] = Vec4f{10, 20, 30, 1};
    f.command("createparticles", 0.0f);
    f.frame(0.5f);
    ASSERT_EQ(f.sequence.particles.size(), 1u);
    const Particle& p = *f.sequence.particles[0];
    EXPECT_EQ(p.type, "fade");
    EXPECT_EQ(p.particleType, ParticleType::Fade);
    EXPECT_FLOAT_EQ(p.fadetime, 4.0f);
    EXPECT_EQ(p.position, (Vec3f{8, 21, 33}));
    EXPECT_EQ(p.velocity, Vec3f());
}

TEST(TimedCommands, NoParticlesWithoutADrawnModel) {
    Fixture undrawn;
    undrawn.model.drawnWithFunction = false;
    undrawn.command("createparticles", 0.0f);
    Fixture noModel;
    noModel.command("createparticles", 0.0f).model = nullptr;
    for (Fixture* f : {&undrawn, &noModel}) {
        f->frame(1.0f);
        EXPECT_TRUE(f->sequence.particles.empty());
        EXPECT_FLOAT_EQ(f->sequence.xfunctions[0]->lastTime, 1.0f);
    }
}

}  // namespace
}  // namespace xmo
