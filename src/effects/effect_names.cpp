#include "effects/effect_names.h"

#include "effects/fades.h"
#include "effects/timed_commands.h"
#include "movie/movie.h"

namespace xmo {

void reportUnknownEffectNames(const Movie& movie, Diagnostics& diagnostics) {
    for (const auto& sequence : movie.sequences) {
        for (const auto& command : sequence->xfunctions)
            if (!isCommandName(command->xfunctiontype))
                diagnostics.report(DiagnosticKind::UnknownName, movie.fileName, command->sourceLine,
                                   "XFunction: unknown xfunctiontype \"" + command->xfunctiontype +
                                       "\"; the command does nothing");
        for (const auto& fade : sequence->specialEffects)
            if (!isFadeType(fade->type))
                diagnostics.report(DiagnosticKind::UnknownName, movie.fileName, fade->sourceLine,
                                   "SpecialEffect: unknown type \"" + fade->type + "\"; nothing is drawn");
    }
}

}  // namespace xmo
