// Saving the current OpenGL frame as a PNG file, for humans to look at and
// for tests that check what a film shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xmo {

// The colour buffer read back as RGBA bytes, top row first.
std::vector<std::uint8_t> readFramePixels(int width, int height);

bool saveFramePng(const std::string& path, int width, int height, std::string& error);

}  // namespace xmo
