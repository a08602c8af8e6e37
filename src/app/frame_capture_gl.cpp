#include "app/frame_capture.h"

#include <GL/gl.h>

#include <cstring>

#include "image/png_writer.h"

namespace xmo {

std::vector<std::uint8_t> readFramePixels(int width, int height) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> bottomUp(rowBytes * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<std::uint8_t> topDown(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::memcpy(&topDown[y * rowBytes], &bottomUp[(height - 1 - y) * rowBytes], rowBytes);
    return topDown;
}

std::vector<std::uint8_t> readFramePicture(int width, int height) {
    std::vector<std::uint8_t> pixels = readFramePixels(width, height);
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    return pixels;
}

bool saveFramePng(const std::string& path, int width, int height, std::string& error) {
    const std::vector<std::uint8_t> picture = readFramePicture(width, height);
    return writePngRgba(path, picture.data(), width, height, error);
}

}  // namespace xmo
