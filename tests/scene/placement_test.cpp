#include "motion/placement.h"

#include <gtest/gtest.h>

#include "support/near.h"

namespace xmo {
namespace {

constexpr float kTolerance = 1e-5f;

const Quatf kQuarterTurnZ = Quatf::fromAxisAngle(Vec3f{0, 0, 1}, 90.0f);

TEST(Placement, AModelTranslatesThenRotates) {
    Model model;
    model.position = Vec3f{1, 2, 3};
    model.rotation = kQuarterTurnZ;
    EXPECT_ALL_NEAR((transformPoint(modelPlacement(model), Vec3f{1, 0, 0})), (Vec3f{1, 3, 3}), kTolerance);
}

TEST(Placement, ATransformRotatesThenTranslatesAroundTheModelsItHolds) {
    ModelTransform transform;
    transform.position = Vec3f{1, 0, 0};
    transform.rotation = kQuarterTurnZ;
    Model model;  // at the origin, not turned
    const Mat4x4f placed = compose(transformPlacement(transform), modelPlacement(model));
    EXPECT_ALL_NEAR((transformPoint(placed, Vec3f{0, 0, 0})), (Vec3f{0, 1, 0}), kTolerance);
    EXPECT_ALL_NEAR((transformPoint(placed, Vec3f{1, 0, 0})), (Vec3f{0, 2, 0}), kTolerance);
}

TEST(Placement, RotationMatchesTheQuaternionForUnnormalisedAxes) {
    const Quatf q = Quatf::fromAxisAngle(Vec3f{0, 2, 0}, 30.0f);
    const Vec3f p{0.3f, -1.0f, 2.0f};
    const Vec3f byMatrix = transformPoint(rotationMatrix(q), p);
    const Vec3f byQuaternion = Quatf::fromAxisAngle(Vec3f{0, 1, 0}, 30.0f).rotate(p);
    EXPECT_ALL_NEAR(byMatrix, byQuaternion, kTolerance);
    EXPECT_ALL_NEAR(transformPoint(rotationMatrix(Quatf()), p), p, kTolerance);
}

class FixedBounds : public BaseObject {
public:
    void draw(RendererState&) override {}
    void load(ObjectLoadContext&) override {}
    std::string writeXml() const override { return {}; }
};

TEST(ModelExtents, TakeTheObjectsBoxCentreAndSizeOverTheFile) {
    FixedBounds object;
    object.min = Vec3f{0, 0, 0};
    object.max = Vec3f{2, 4, 6};
    Model model;
    model.object = &object;
    model.boxsize = Vec3f{9, 9, 9};
    model.computeExtents();
    EXPECT_EQ(model.centreOffset, (Vec3f{1, 2, 3}));
    EXPECT_EQ(model.boxsize, (Vec3f{2, 4, 6}));
    EXPECT_EQ(model.diameter, 2.0f);
    EXPECT_EQ(model.min, (Vec3f{1, 2, 3}));
    EXPECT_EQ(model.max, (Vec3f{3, 6, 9}));

    Model orphan;
    orphan.boxsize = Vec3f{1, 1, 1};
    orphan.computeExtents();
    EXPECT_EQ(orphan.boxsize, (Vec3f{1, 1, 1})) << "a model without object keeps its file values";
}

TEST(ModelEnabling, StoresTheFlagAndLeavesModelsWithoutBodiesAlone) {
    Model model;
    model.physicalbased = true;
    EXPECT_FALSE(model.enabled);
    model.setEnabled(true);
    EXPECT_TRUE(model.enabled);
    model.setEnabled(false);
    EXPECT_FALSE(model.enabled);
    ModelTransform transform;
    EXPECT_TRUE(transform.enabled);
    transform.setEnabled(false);
    EXPECT_FALSE(transform.enabled);
}

}  // namespace
}  // namespace xmo
