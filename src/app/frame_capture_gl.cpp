#include "app/frame_capture.h"

#include <GL/gl.h>

#include <algorithm>

#include "image/png_writer.h"

namespace xmo {

namespace {

// GL reads the bottom row first; the rows are swapped in place, so a buffer
// kept from frame to frame is the only memory a read needs.
void readTopRowFirst(int width, int height, std::vector<std::uint8_t>& rgba) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    rgba.resize(rowBytes * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rgba.begin() + top * rowBytes, rgba.begin() + (top + 1) * rowBytes,
                         rgba.begin() + bottom * rowBytes);
}

}  // namespace

std::vector<std::uint8_t> readFramePixels(int width, int height) {
    std::vector<std::uint8_t> rgba;
    readTopRowFirst(width, height, rgba);
    return rgba;
}

void readFramePicture(int width, int height, std::vector<std::uint8_t>& picture) {
    readTopRowFirst(width, height, picture);
    for (std::size_t i = 3; i < picture.size(); i += 4) picture[i] = 255;
}

bool saveFramePng(const std::string& path, int width, int height, std::string& error) {
    std::vector<std::uint8_t> picture;
    readFramePicture(width, height, picture);
    return writePngRgba(path, picture.data(), width, height, error);
}

}  // namespace xmo
