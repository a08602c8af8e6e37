#include "effects/effect_names.h"

#include <gtest/gtest.h>

#include "movie/movie.h"

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

TEST(EffectNames, UnknownCommandsAndFadesAreReportedWithTheirLines) {
    Movie movie;
    movie.fileName = "film.xmo";
    auto sequence = std::make_unique<Sequence>();
    for (const auto& [name, line] : {std::pair{"exit", 3}, std::pair{"enabelmodels", 4}}) {
        auto command = std::make_unique<XFunction>();
        command->xfunctiontype = name;
        command->commandType = commandTypeOf(name);
        command->sourceLine = line;
        sequence->xfunctions.push_back(std::move(command));
    }
    for (const auto& [type, line] : {std::pair{"fadeaway", 7}, std::pair{"stayblack", 8}}) {
        auto fade = std::make_unique<SpecialEffect>();
        fade->type = type;
        fade->fadeType = fadeTypeOf(type);
        fade->sourceLine = line;
        sequence->specialEffects.push_back(std::move(fade));
    }
    movie.sequences.push_back(std::move(sequence));

    Diagnostics diagnostics;
    reportUnknownEffectNames(movie, diagnostics);
    ASSERT_EQ(diagnostics.size(), 2u);
    EXPECT_EQ(formatDiagnostic(diagnostics.items()[0]),
              "film.xmo:4: XFunction: unknown xfunctiontype \"enabelmodels\"; the command does nothing");
    EXPECT_EQ(formatDiagnostic(diagnostics.items()[1]), "film.xmo:7: SpecialEffect: unknown type \"fadeaway\"; nothing is drawn");
    EXPECT_EQ(diagnostics.items()[1].kind, DiagnosticKind::UnknownName);
}

}  // namespace
}  // namespace xmo
