#include "effects/effect_names.h"

#include <gtest/gtest.h>

#include "effects/fades.h"
#include "effects/timed_commands.h"
#include "movie/movie.h"

namespace xmo {
namespace {

TEST(EffectNames, KnownNamesAreExact) {
    for (const char* name : {"createparticles", "disablemodels", "enablemodels", "disableanimatephysics",
                             "enableanimatephysics", "exit"})
        EXPECT_TRUE(isCommandName(name)) << name;
    for (const char* name : {"", "Exit", "enablemodels ", "enabelmodels", "fade"}) EXPECT_FALSE(isCommandName(name));
    for (const char* name : {"blackfadein", "blackfadeout", "whitefadein", "whitefadeout", "stayblack"})
        EXPECT_TRUE(isFadeType(name)) << name;
    for (const char* name : {"", "StayBlack", "blackfade", "exit"}) EXPECT_FALSE(isFadeType(name));
}

TEST(EffectNames, UnknownCommandsAndFadesAreReportedWithTheirLines) {
    Movie movie;
    movie.fileName = "film.xmo";
    auto sequence = std::make_unique<Sequence>();
    for (const auto& [name, line] : {std::pair{"exit", 3}, std::pair{"enabelmodels", 4}}) {
        auto command = std::make_unique<XFunction>();
        command->xfunctiontype = name;
        command->sourceLine = line;
        sequence->xfunctions.push_back(std::move(command));
    }
    for (const auto& [type, line] : {std::pair{"fadeaway", 7}, std::pair{"stayblack", 8}}) {
        auto fade = std::make_unique<SpecialEffect>();
        fade->type = type;
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
