// The command line of `xmotool render`: which frames of a film to render on
// a fixed-step clock.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace xmo {

struct RenderOptions {
    std::string moviePath;
    int fps = 0;
    std::vector<long> frames;  // ascending, without duplicates
    std::string outputDir;
};

// Parses "MOVIE --fps N (--at T1,T2,... | --frames A-B) --out DIR"; frame n
// of "--at T" is round(T * N), each T a decimal number of seconds. Returns
// nothing and fills error on a usage error, an option given twice included.
std::optional<RenderOptions> parseRenderOptions(const std::vector<std::string>& args, std::string& error);

// Tick of the fixed-step clock at frame n: n * 1000 / fps milliseconds.
unsigned frameTicks(long frame, int fps);

// "DIR/frame-NNNNNN.png"
std::string framePath(const std::string& dir, long frame);

}  // namespace xmo
