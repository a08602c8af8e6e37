// Names in a movie that no effect knows: a command or fade that would do
// nothing, which is most likely a misspelling.
#pragma once

namespace xmo {

struct Movie;
class Diagnostics;

void reportUnknownEffectNames(const Movie& movie, Diagnostics& diagnostics);

}  // namespace xmo
