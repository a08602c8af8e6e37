// The progress line of a long render run and the texts of its summary.
#pragma once

#include <string>

namespace xmo {

// "0:42", "12:05", "1:02:03": whole seconds, rounded.
std::string durationText(double seconds);

// "frame 120/1100  23.5 fps  0:42 left", from the frames done out of total
// and the seconds spent on them; the time left is unknown ("--:--") until a
// frame is done.
std::string progressLine(long done, long total, double elapsedSeconds);

}  // namespace xmo
