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

}  // namespace xmo
