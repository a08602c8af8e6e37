// Writing RGBA pictures as PNG files (captured frames, test output).
#pragma once

#include <cstdint>
#include <string>

namespace xmo {

// Writes width x height RGBA pixels, top row first, to path, whole or not at
// all (base/atomic_file.h). Returns false and fills error when anything fails.
bool writePngRgba(const std::string& path, const std::uint8_t* rgba, int width, int height, std::string& error);

}  // namespace xmo
