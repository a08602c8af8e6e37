// The demo film's chosen frames against tests/golden/: their hashes, as
// `xmotool render --hash` prints them, and a thumbnail of each.
//
// On the renderer that made the golden files a frame must hash the same:
// rendering there is deterministic, so any other hash is a change. Another
// rasteriser (another Mesa or LLVM, other CPU features) may differ in the odd
// pixel on a triangle's edge or by a step of shading; there a frame whose hash
// differs passes when its thumbnail (the frame averaged over 4x4 blocks)
// matches the golden one within a tolerance that such differences stay far
// inside (Mesa's softpipe, a wholly different rasteriser, changes no
// thumbnail pixel by more than 16 on the demo) and that a camera moving for
// 10 ms already exceeds many times over.
//
// XMO_UPDATE_GOLDEN=1 (`make golden`) rewrites the golden files instead.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/render_options.h"
#include "image/png_writer.h"
#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

// One frame of each sequence, and one inside a fade-out.
constexpr const char* kTimes = "6,9.5,16,26.4,43.2,50,58,67.5";
constexpr const char* kFps = "10";
constexpr int kThumbScale = 4;
constexpr int kTolerance = 24;         // per channel, in a thumbnail pixel
constexpr int kMaxChangedPixels = 20;  // thumbnail pixels beyond it

const fs::path kGoldenDir = fs::path(XMO_SOURCE_DIR) / "tests/golden";
const fs::path kHashFile = kGoldenDir / "demo.sha256";
const std::string kDemoDir = std::string(XMO_SOURCE_DIR) + "/assets/demo";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct HashLine {
    long frame = -1;
    std::string time, hash;
};

HashLine parseHashLine(const std::string& line) {
    HashLine parsed;
    std::istringstream(line) >> parsed.frame >> parsed.time >> parsed.hash;
    return parsed;
}

bool isRendererLine(const std::string& line) {
    return line.rfind("renderer: ", 0) == 0 || line.rfind("OpenGL: ", 0) == 0;
}

struct Golden {
    std::vector<std::string> renderer;  // the "renderer:" and "OpenGL:" lines
    std::vector<HashLine> frames;
};

test::ProcessResult renderDemo(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {XMOTOOL_BIN, "render"};
    argv.insert(argv.end(), args.begin(), args.end());
    test::ProcessOptions options;
    options.workingDir = kDemoDir;
    options.timeoutSeconds = 600;
    return test::runProcess(argv, options);
}

// What `xmotool render --version` names, or what --hash prints, as a Golden.
Golden parse(const std::string& text) {
    Golden golden;
    for (const std::string& line : linesOf(text)) {
        if (line.empty() || line[0] == '#') continue;
        if (isRendererLine(line)) {
            golden.renderer.push_back(line);
        } else if (line[0] >= '0' && line[0] <= '9') {
            golden.frames.push_back(parseHashLine(line));
        }
    }
    return golden;
}

Golden renderCurrent() {
    const test::ProcessResult version = renderDemo({"--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    const test::ProcessResult hashes = renderDemo({"BrikBasics.xmo", "--fps", kFps, "--at", kTimes, "--hash"});
    EXPECT_EQ(hashes.exitCode, 0) << hashes.err;
    Golden current = parse(hashes.out);
    current.renderer = parse(version.out).renderer;
    return current;
}

// The frames at these times as PNG files in a scratch folder.
std::string renderPngs(const std::string& times) {
    const std::string folder = (fs::temp_directory_path() / ("xmo-golden-" + std::to_string(::getpid()))).string();
    const test::ProcessResult r = renderDemo({"BrikBasics.xmo", "--fps", kFps, "--at", times, "--out", folder});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return folder;
}

fs::path thumbnailPath(long frame) {
    char name[40];
    std::snprintf(name, sizeof name, "demo-frame-%06ld.png", frame);
    return kGoldenDir / name;
}

// The frame averaged over kThumbScale x kThumbScale blocks, rounded.
test::Picture thumbnail(const test::Picture& frame) {
    test::Picture thumb;
    thumb.width = frame.width / kThumbScale;
    thumb.height = frame.height / kThumbScale;
    thumb.rgba.assign(static_cast<std::size_t>(thumb.width) * thumb.height * 4, 255);
    constexpr int kArea = kThumbScale * kThumbScale;
    for (int y = 0; y < thumb.height; ++y)
        for (int x = 0; x < thumb.width; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int dy = 0; dy < kThumbScale; ++dy)
                    for (int dx = 0; dx < kThumbScale; ++dx)
                        sum += frame.rgba[((std::size_t(y) * kThumbScale + dy) * frame.width + x * kThumbScale + dx) * 4 + c];
                thumb.rgba[(std::size_t(y) * thumb.width + x) * 4 + c] = std::uint8_t((sum + kArea / 2) / kArea);
            }
    return thumb;
}

// Thumbnail pixels with a channel further than kTolerance from the golden one.
int changedPixels(const test::Picture& a, const test::Picture& b) {
    if (a.width != b.width || a.height != b.height) return a.width * a.height + 1;
    int changed = 0;
    for (std::size_t p = 0; p < a.rgba.size(); p += 4) {
        bool differs = false;
        for (std::size_t c = 0; c < 3; ++c) differs = differs || std::abs(a.rgba[p + c] - b.rgba[p + c]) > kTolerance;
        changed += differs;
    }
    return changed;
}

void writeGoldenFiles() {
    const Golden current = renderCurrent();
    ASSERT_FALSE(current.frames.empty());
    const std::string pngs = renderPngs(kTimes);
    for (const fs::directory_entry& e : fs::directory_iterator(kGoldenDir))
        if (e.path().extension() == ".png") fs::remove(e.path());
    std::ofstream file(kHashFile);
    file << "# The demo film's golden frames at " << kFps << " frames per second, as `xmotool render --hash`\n"
         << "# prints them, and the renderer that drew them. Written by `make golden`, with a\n"
         << "# thumbnail of each frame beside it: look at those before committing them.\n";
    for (const std::string& line : current.renderer) file << line << "\n";
    for (const HashLine& f : current.frames) {
        file << f.frame << " " << f.time << " " << f.hash << "\n";
        const test::Picture thumb = thumbnail(test::readPng(framePath(pngs, f.frame)));
        std::string error;
        ASSERT_TRUE(writePngRgba(thumbnailPath(f.frame).string(), thumb.rgba.data(), thumb.width, thumb.height, error))
            << error;
    }
    fs::remove_all(pngs);
}

TEST(GoldenFrames, TheDemoFilmShowsWhatItShowedWhenTheyWereMade) {
    if (const char* update = std::getenv("XMO_UPDATE_GOLDEN"); update && *update) {
        writeGoldenFiles();
        return;
    }
    const Golden golden = parse(test::readFile(kHashFile.string()));
    const Golden current = renderCurrent();
    ASSERT_EQ(current.frames.size(), golden.frames.size()) << "the chosen frames changed: run `make golden`";
    const bool sameRenderer = current.renderer == golden.renderer;

    std::string changedTimes;
    for (std::size_t i = 0; i < golden.frames.size(); ++i) {
        ASSERT_EQ(current.frames[i].frame, golden.frames[i].frame) << "the chosen frames changed: run `make golden`";
        if (current.frames[i].hash != golden.frames[i].hash)
            changedTimes += (changedTimes.empty() ? "" : ",") + golden.frames[i].time;
    }
    if (changedTimes.empty()) return;

    const std::string pngs = renderPngs(changedTimes);
    for (const HashLine& f : golden.frames) {
        const std::string path = framePath(pngs, f.frame);
        if (!fs::exists(path)) continue;
        const int changed =
            changedPixels(thumbnail(test::readPng(path)), test::readPng(thumbnailPath(f.frame).string()));
        const std::string advice = "; the frame is " + path + ". If the change is intended, run `make golden` and" +
                                   " look at " + thumbnailPath(f.frame).string() + " before committing it.";
        if (sameRenderer) {
            ADD_FAILURE() << "frame " << f.frame << " (" << f.time << " s) no longer has its golden hash ("
                          << changed << " thumbnail pixels changed beyond the tolerance)" << advice;
        } else if (changed > kMaxChangedPixels) {
            ADD_FAILURE() << "frame " << f.frame << " (" << f.time << " s): " << changed
                          << " thumbnail pixels changed beyond the tolerance on this renderer" << advice;
        }
    }
    if (!HasFailure()) fs::remove_all(pngs);
}

}  // namespace
}  // namespace xmo
