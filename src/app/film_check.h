// What xmotool check finds in a film: every problem an author should fix,
// and the refusal when the player would not play it. The player shows the
// same list in its window when an author watches the film being edited.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "movie/movie_loader.h"

namespace xmo {

struct FilmProblems {
    std::vector<Diagnostic> problems;
    std::optional<LoadError> refusal;  // the film would not play
};

// Loads the film as the tools do (no window, no sound device) and runs every
// check on it, going on after a refusal where loading can; the problems come
// sorted by file and line. Files found beside the film only are noted on
// notes (base/film_files.h).
FilmProblems checkFilm(const std::string& moviePath, std::ostream& notes);

// What the player's physics world would make of a loaded film, found without
// the engine: each model's bodyIndex and each join's joint index are set, and
// the problems of the body plan are added to diagnostics.
void planPhysics(Movie& movie, Diagnostics& diagnostics);

}  // namespace xmo
