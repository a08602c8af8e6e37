// Writing RGBA pictures as PNG files (captured frames, test output).
#pragma once

#include <cstdint>
#include <string>

namespace xmo {

// Writes width x height RGBA pixels, top row first, to path through a
// temporary file beside it that is renamed over the target. Returns false
// and fills error when anything fails; no half-written file is left behind.
bool writePngRgba(const std::string& path, const std::uint8_t* rgba, int width, int height, std::string& error);

}  // namespace xmo
