// What the check, dump and save subcommands share: the usage message of a
// subcommand and the physics plan. They load films with QuietLoadServices
// (movie/load_services.h) over a ToolMediaLoader, so media files are checked
// but never decoded, and a world without an engine.
#pragma once

#include "base/diagnostics.h"
#include "movie/movie.h"

namespace xmo {

// Prints "usage: xmotool ARGS" on standard error; returns the usage exit code.
int usageError(const char* usage);

// What the player's physics world would make of a loaded film, found without
// the engine: each model's bodyIndex and each join's joint index are set, and
// the problems of the body plan are added to diagnostics.
void planPhysics(Movie& movie, Diagnostics& diagnostics);

}  // namespace xmo
