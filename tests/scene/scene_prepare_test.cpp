#include <gtest/gtest.h>

#include "scene/nodes.h"

namespace xmo {
namespace {

TEST(ScenePrepare, EachSceneGetsTheNextLightUntilTheLastOneIsShared) {
    rendererState().reset();
    std::vector<Scene> scenes(9);
    for (Scene& scene : scenes) scene.prepare();
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        ASSERT_TRUE(scenes[i].lights && scenes[i].lights->light);
        EXPECT_EQ(scenes[i].lights->light->lightId, kGlLight0 + (i < 7 ? i : 7)) << i;
        EXPECT_TRUE(scenes[i].lights->light->dirty);
        ASSERT_TRUE(scenes[i].defaultMaterial);
    }
    EXPECT_EQ(rendererState().lightEnableCount, 9);
}

TEST(ScenePrepare, AGivenLightOrNoDefaultTakesNoEnumerant) {
    rendererState().reset();
    Scene withoutDefault;
    withoutDefault.lights = std::make_unique<SceneLights>();
    withoutDefault.lights->useDefault = 0;
    withoutDefault.prepare();
    EXPECT_FALSE(withoutDefault.lights->light);
    EXPECT_EQ(rendererState().lightEnableCount, 0);
}

}  // namespace
}  // namespace xmo
