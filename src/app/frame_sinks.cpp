#include "app/frame_sinks.h"

#include <cstdio>

#include "base/sha256.h"
#include "image/png_writer.h"

namespace xmo {

bool PngFrames::take(long frame, const std::vector<std::uint8_t>& picture, std::string& error) {
    const std::string path = framePath(dir_, frame);
    if (!writePngRgba(path, picture.data(), size_.width, size_.height, error)) return false;
    paths_ << path << "\n";
    return true;
}

bool HashLines::take(long frame, const std::vector<std::uint8_t>& picture, std::string&) {
    const unsigned ms = frameTicks(frame, fps_);
    char time[32];
    std::snprintf(time, sizeof time, "%u.%03u", ms / 1000, ms % 1000);
    lines_ << frame << " " << time << " " << sha256Hex(picture.data(), picture.size()) << "\n";
    return true;
}

}  // namespace xmo
