// Reading the current OpenGL frame back, for files humans look at, videos,
// frame hashes and tests that check what a film shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xmo {

// The colour buffer read back as RGBA bytes, top row first.
std::vector<std::uint8_t> readFramePixels(int width, int height);

// The picture the screen shows: the colour buffer as RGBA with every pixel
// opaque, whatever alpha the clear colour left, top row first. PNG files,
// videos and frame hashes all take this picture. The buffer is resized as
// needed; kept from frame to frame, it costs no allocation.
void readFramePicture(int width, int height, std::vector<std::uint8_t>& picture);

// The picture written as a PNG file.
bool saveFramePng(const std::string& path, int width, int height, std::string& error);

}  // namespace xmo
