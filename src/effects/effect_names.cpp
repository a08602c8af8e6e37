#include "effects/effect_names.h"

#include "movie/movie.h"

namespace xmo {

void reportUnknownEffectNames(const Movie& movie, Diagnostics& diagnostics) {
    for (const auto& sequence : movie.sequences) {
        for (const auto& command : sequence->xfunctions)
            if (command->commandType == CommandType::Unknown)
                diagnostics.report(DiagnosticKind::UnknownName, movie.fileName, command->sourceLine,
                                   "XFunction: unknown xfunctiontype \"" + command->xfunctiontype +
                                       "\"; the command does nothing");
        for (const auto& fade : sequence->specialEffects)
            if (fade->fadeType == FadeType::Unknown)
                diagnostics.report(DiagnosticKind::UnknownName, movie.fileName, fade->sourceLine,
                                   "SpecialEffect: unknown type \"" + fade->type + "\"; nothing is drawn");
    }
}

}  // namespace xmo
