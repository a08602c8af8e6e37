// What the check, dump and save subcommands share: the usage message of a
// subcommand. They load films with QuietLoadServices (movie/load_services.h)
// over a ToolMediaLoader, so media files are checked but never decoded, and
// a world without an engine (planPhysics in film_check.h).
#pragma once

namespace xmo {

// Prints "usage: xmotool ARGS" on standard error; returns the usage exit code.
int usageError(const char* usage);

}  // namespace xmo
