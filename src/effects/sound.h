// Music of the movie, started on film time.
//
// Not built yet: no music is loaded or played; films play silently.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct Sound;

void startSound(std::vector<std::unique_ptr<Sound>>& sounds);
void updateSound(std::vector<std::unique_ptr<Sound>>& sounds, float t);
void stopSound(std::vector<std::unique_ptr<Sound>>& sounds);

}  // namespace xmo
