#include "app/render_progress.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace xmo {

std::string durationText(double seconds) {
    const long total = std::lround(std::max(seconds, 0.0));
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    }
    return text;
}

std::string progressLine(long done, long total, double elapsedSeconds) {
    const bool measured = done > 0 && elapsedSeconds > 0.0;
    const double rate = measured ? done / elapsedSeconds : 0.0;
    const std::string left = measured ? durationText((total - done) / rate) : "--:--";
    char text[128];
    std::snprintf(text, sizeof text, "frame %ld/%ld  %.1f fps  %s left", done, total, rate, left.c_str());
    return text;
}

}  // namespace xmo
