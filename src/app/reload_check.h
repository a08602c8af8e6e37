// Whether a film saved on disk would start: the check a reload or a restart
// makes before it gives up the film that is playing.
#pragma once

#include <optional>
#include <string>

namespace xmo {

// Loads the film without a window or a sound device, as xmotool check does,
// and checks that every music file opens (the player would end on one that
// does not). Returns the first problem as "FILE:LINE: message", or nothing.
std::optional<std::string> findReloadProblem(const std::string& moviePath);

}  // namespace xmo
