#include <gtest/gtest.h>

#include "scene/renderer_state.h"

namespace xmo {
namespace {

TEST(ScenePrepare, WithoutTheDefaultLightNoEnumerantIsTaken) {
    LightCounter lights;
    Scene withoutDefault;
    withoutDefault.lights = std::make_unique<SceneLights>();
    withoutDefault.lights->useDefault = 0;
    withoutDefault.prepare(lights);
    EXPECT_FALSE(withoutDefault.lights->light);
    EXPECT_TRUE(withoutDefault.defaultMaterial);
    EXPECT_EQ(lights.enableCount, 0);
    EXPECT_TRUE(lights.toEnable.empty());
}

}  // namespace
}  // namespace xmo
