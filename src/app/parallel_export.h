// `xmotool render --jobs J --video OUT`: the export cut into J parts, each
// rendered at once by a copy of xmotool-render of its own (`--part K/J`, into
// a folder beside OUT), then joined into OUT (video_join.h). Since reaching a
// part's first frame costs no drawing, J processes on J cores take about 1/J
// of the time.
#pragma once

#include <csignal>
#include <ostream>
#include <string>
#include <vector>

#include "app/render_options.h"

namespace xmo {

// Runs the export; returns the exit code. `args` is the command line as
// given (without the program); `messages` gets the summary, the reason of a
// failure (the failing part's own messages among them) and, when it is a
// terminal, a progress line. Stops every part and cleans up when `stop` is
// set.
int exportInParallel(const RenderOptions& options, const std::vector<std::string>& args,
                     const volatile std::sig_atomic_t& stop, std::ostream& messages, bool messagesIsTerminal);

}  // namespace xmo
