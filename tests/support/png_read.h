// Reading the PNG frames that xmotool render writes, for tests that check
// what a film shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xmo::test {

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;  // top row first

    struct Pixel {
        int r, g, b, a;
    };
    Pixel at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 4;
        return {rgba[i], rgba[i + 1], rgba[i + 2], rgba[i + 3]};
    }
};

// An empty picture when the file cannot be read as PNG.
Picture readPng(const std::string& path);

}  // namespace xmo::test
