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

// The frame rate at which the growth of a sequence's particles is judged:
// the fixed step that xmotool render and seeking use.
inline constexpr float kProofreadFramesPerSecond = 25.0f;

// A sequence longer than this is most likely written in milliseconds.
inline constexpr float kLongestLikelyDuration = 3600.0f;

// A caption placed beyond these coordinates is far outside the caption
// screen, which runs from -60 to 60 on both axes.
inline constexpr float kCaptionScreenEdge = 60.0f;
inline constexpr float kCaptionFarEdge = 120.0f;

void proofreadMovie(const Movie& movie, Diagnostics& diagnostics);

}  // namespace xmo
