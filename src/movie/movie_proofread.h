// What a loaded film says that the player will silently make nothing of:
// times its sequence never reaches or written in milliseconds, key times out
// of order, particles never seen or never done with, captions that do not
// show, camera keys where the view cannot be built, and names of commands,
// fades, easings and particle types that select nothing. Each is reported as
// a Diagnostic at the film line that causes it. Playing is not changed.
#pragma once

#include "base/diagnostics.h"
#include "movie/movie.h"

namespace xmo {

void proofreadMovie(const Movie& movie, Diagnostics& diagnostics);

}  // namespace xmo
