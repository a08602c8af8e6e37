// Music of the movie, loaded before the clock starts and started on film
// time through the sound system.
//
// Not built yet: no sound system is brought up and no music is loaded or
// played; films play silently.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct Sound;

// The sound library's state for the run, owned by the player.
struct SoundSystem {};

inline void startSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>& /*sounds*/) {}
inline void updateSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>& /*sounds*/, float /*t*/) {}
inline void stopSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>& /*sounds*/) {}

// The author's keys. Pausing holds every started sound where it is, and a
// sound that updateSound starts while paused begins paused (a fixed-step run
// to a start time plays its frames paused, so nothing is heard on the way);
// resuming plays them on from there. A seek to film time t puts every sound
// whose start time is at or before t at offset t - starttime within its
// buffer and marks it started; a later one is stopped and left for
// updateSound. Not built yet, like the rest of the sound system.
inline void pauseSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>& /*sounds*/) {}
inline void resumeSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>& /*sounds*/) {}
inline void seekSound(SoundSystem&, std::vector<std::unique_ptr<Sound>>& /*sounds*/, float /*t*/) {}

}  // namespace xmo
