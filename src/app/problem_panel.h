// Problems in the player's window, for an author at work with --watch: the
// FILE:LINE message of a save that does not load, or the warnings xmotool
// check gives for the film that plays, in a dark panel over the top of the
// picture.
#pragma once

#include <string>
#include <vector>

#include "app/overlay.h"

namespace xmo {

// The panel: its title, then each line wrapped to the window's width. Lines
// beyond what the panel holds are counted in a last line.
Overlay layoutProblemPanel(const std::string& title, const std::vector<std::string>& lines, int screenWidth);

}  // namespace xmo
