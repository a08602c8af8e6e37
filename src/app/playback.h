// The player's run once its window is open: start-up, the fixed-step way to
// a start time, then frames back to back with the author's keys, the status
// line, and reloads of a film saved while it plays.
//
// A reload or a restart runs the player again in place of this process, at
// the film time it had (or at 0), and so by the same fixed-step run as
// --start: the film is read afresh and every subsystem starts clean, which
// a reload inside the process could not promise for the physics world, the
// sound device and the GL state that a run leaves behind. Before giving up
// the film that plays, the saved one is loaded without a window; when it
// does not load, the old film plays on and the loader's message is printed.
#pragma once

namespace xmo {

class CaptureRequests;
struct PlayerOptions;

// Returns the process's exit code (see the README), or does not return when
// the player starts again.
int playFilm(const PlayerOptions& options, CaptureRequests& captures);

}  // namespace xmo
