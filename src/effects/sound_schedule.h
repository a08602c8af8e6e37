// When the movie's music starts, and the texts of the music's failures.
//
// Music runs on film time, whatever sequence is current: each Sound starts
// once, in the first frame whose film time is strictly past its starttime,
// and sounds due in the same frame start in list order. The output itself
// (device, decoding, playing) is in sound.h.
#pragma once

#include <memory>
#include <vector>

#include "movie/movie.h"

namespace xmo {

// A sound not started yet whose starttime is before t.
inline bool isSoundDue(const Sound& sound, float t) { return !sound.started && sound.starttime < t; }

// Calls play(Sound&) for each sound due at film time t, in list order, and
// marks it started whatever play does: a sound that fails to play is not
// tried again.
template <typename Play>
void startDueSounds(std::vector<std::unique_ptr<Sound>>& sounds, float t, Play&& play) {
    for (auto& sound : sounds) {
        if (!isSoundDue(*sound, t)) continue;
        play(*sound);
        sound->started = true;
    }
}

// Why the music could not be brought up; each reason has its fixed text.
enum class SoundError {
    OutputDevice,  // a device opened but cannot mix
    FileNotFound,
    UnknownFormat,  // not MPEG audio, or nothing in it decodes
    LoadFailed,     // decoding failed part way
    OutOfMemory,    // the decoded music does not fit in memory
};

// The text printed after "Error!" on standard output.
const char* soundErrorText(SoundError error);

}  // namespace xmo
