#include <gtest/gtest.h>

#include "movie/behaviour_names.h"

namespace xmo {
namespace {

TEST(EffectNames, NamesSelectTheirKindExactlyAndCaseSensitively) {
    const std::pair<const char*, CommandType> commands[] = {
        {"createparticles", CommandType::CreateParticles},
        {"disablemodels", CommandType::DisableModels},
        {"enablemodels", CommandType::EnableModels},
        {"disableanimatephysics", CommandType::DisableAnimatePhysics},
        {"enableanimatephysics", CommandType::EnableAnimatePhysics},
        {"exit", CommandType::Exit},
        {"", CommandType::Unknown},
        {"Exit", CommandType::Unknown},
        {"enablemodels ", CommandType::Unknown},
        {"enabelmodels", CommandType::Unknown},
        {"stayblack", CommandType::Unknown},
    };
    for (const auto& [name, kind] : commands) EXPECT_EQ(commandTypeOf(name), kind) << name;
    const std::pair<const char*, FadeType> fades[] = {
        {"blackfadein", FadeType::BlackFadeIn}, {"blackfadeout", FadeType::BlackFadeOut},
        {"whitefadein", FadeType::WhiteFadeIn}, {"whitefadeout", FadeType::WhiteFadeOut},
        {"stayblack", FadeType::StayBlack},     {"", FadeType::Unknown},
        {"StayBlack", FadeType::Unknown},       {"blackfade", FadeType::Unknown},
        {"exit", FadeType::Unknown},
    };
    for (const auto& [name, kind] : fades) EXPECT_EQ(fadeTypeOf(name), kind) << name;
    EXPECT_EQ(easingOf("hermite"), Easing::Hermite);
    EXPECT_EQ(easingOf("Hermite"), Easing::Linear);
    EXPECT_EQ(animationModeOf("bspline"), AnimationMode::BSpline);
    EXPECT_EQ(animationModeOf("bspline "), AnimationMode::KeyPairs);
    EXPECT_EQ(particleTypeOf("fade"), ParticleType::Fade);
    EXPECT_EQ(particleTypeOf("Fade"), ParticleType::Unseen);
    EXPECT_EQ(particleTypeOf("smoke"), ParticleType::Unseen);
}

}  // namespace
}  // namespace xmo
