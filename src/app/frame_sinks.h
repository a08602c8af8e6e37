// The still outputs of a render run: PNG files, and hash lines for golden
// tests.
#pragma once

#include <ostream>
#include <string>

#include "app/render_options.h"
#include "app/render_run.h"

namespace xmo {

// Writes DIR/frame-NNNNNN.png per frame and prints its path on `paths`.
class PngFrames : public FrameSink {
public:
    PngFrames(std::string dir, FrameSize size, std::ostream& paths)
        : dir_(std::move(dir)), size_(size), paths_(paths) {}
    bool take(long frame, const std::vector<std::uint8_t>& picture, std::string& error) override;

private:
    std::string dir_;
    FrameSize size_;
    std::ostream& paths_;
};

// Prints "FRAME TIME SHA256" per frame: the frame number, its film time in
// seconds with the clock's three decimals, and the SHA-256 of the picture's
// RGBA bytes, top row first (the pixels of the frame's PNG file).
class HashLines : public FrameSink {
public:
    HashLines(int fps, std::ostream& lines) : fps_(fps), lines_(lines) {}
    bool take(long frame, const std::vector<std::uint8_t>& picture, std::string& error) override;

private:
    int fps_;
    std::ostream& lines_;
};

}  // namespace xmo
