// xmotool join OUT PART1 ... PARTN: the parts that `xmotool render --part`
// wrote, joined into one video (video_join.h). Exit 1 when they cannot be
// joined or OUT cannot be written.
#include <iostream>
#include <string>
#include <vector>

#include "app/video_join.h"
#include "app/xmotool_commands.h"
#include "app/xmotool_load.h"

namespace xmo {

int runJoin(int argc, char** argv) {
    if (argc < 3) return usageError("join OUT PART1 ... PARTN");
    const std::vector<std::string> parts(argv + 2, argv + argc);
    std::string summary, error;
    if (!joinVideoParts(argv[1], parts, summary, error)) {
        std::cerr << "xmotool join: " << error << "\n";
        return 1;
    }
    std::cerr << "xmotool join: " << summary << "\n";
    return 0;
}

}  // namespace xmo
