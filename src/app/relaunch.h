// Starting the player again in place of this process: the way a reload or a
// restart gets a film whose every subsystem starts afresh.
#pragma once

#include <string>
#include <vector>

namespace xmo {

// Replaces this process with the player's own executable and args (without
// the program name). Returns only when that fails, with the reason.
std::string relaunchPlayer(const std::vector<std::string>& args);

}  // namespace xmo
