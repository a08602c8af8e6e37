// Particles, captions and image tiles as a film shows them: films rendered by
// xmotool render, with a caption font made by xmotool txf.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

#include "image/png_writer.h"
#include "support/png_read.h"
#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

fs::path scratchFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("xmo-effects-" + name + "-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

// Renders the film at 10 frames a second from workingDir into the empty
// folder out; the frames at the given times, in time order.
std::vector<test::Picture> render(const std::string& film, const std::string& workingDir, const std::string& at,
                                  const fs::path& out) {
    test::ProcessOptions options;
    options.workingDir = workingDir;
    options.timeoutSeconds = 120;
    const test::ProcessResult r =
        test::runProcess({XMOTOOL_BIN, "render", film, "--fps", "10", "--at", at, "--out", out.string()}, options);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> names;  // frame-NNNNNN.png: in time order once sorted
    for (const fs::directory_entry& e : fs::directory_iterator(out)) names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    std::vector<test::Picture> frames;
    for (const std::string& name : names) frames.push_back(test::readPng(name));
    return frames;
}

int grey(const test::Picture::Pixel& p) { return std::max({p.r, p.g, p.b}); }

// ---- Particles --------------------------------------------------------------

TEST(FilmEffects, APuffAppearsAtItsModelsPlaceAndFadesOut) {
    const fs::path out = scratchFolder("puff");
    const std::vector<test::Picture> frames = render("effects/puff.xmo", XMO_TEST_DATA, "4,4.5,6.5,8.2", out);
    ASSERT_EQ(frames.size(), 4u);
    // The brick stands at (0.6, 0.3, 0), three units in front of the eye,
    // which looks at (0, 0.3, 0): 0.6 / (3 tan 30 deg) of the half height
    // (300 pixels) right of the centre. The sprite is 0.4 wide there.
    const double pixelsPerUnit = 300.0 / (3.0 * std::tan(M_PI / 6));
    const double cx = 400 + 0.6 * pixelsPerUnit, cy = 300, radius = 0.2 * pixelsPerUnit;
    // GL_BLEND with the black environment colour draws colour level x (1 -
    // texel) at alpha level x texel: over black a dark centre and a rim whose
    // brightest grey, where the texel is one half, is level^2 / 4.
    const struct {
        float t;
        int rim;  // the brightest grey of the frame
    } cases[] = {
        {4.0f, 0},   // not spawned yet (the brick itself is unlit)
        {4.5f, 64},  // born: level 1
        {6.5f, 16},  // half way: level 0.5
        {8.2f, 0},   // level 0.075: under the alpha test of 0.1
    };
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const test::Picture& p = frames[i];
        ASSERT_EQ(p.width, 800);
        int brightest = 0;
        double farthestLit = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const int g = grey(p.at(x, y));
                if (g == 0) continue;
                brightest = std::max(brightest, g);
                farthestLit = std::max(farthestLit, std::hypot(x + 0.5 - cx, y + 0.5 - cy));
            }
        EXPECT_NEAR(brightest, cases[i].rim, 2) << "at " << cases[i].t << " s; frames in " << out;
        EXPECT_LE(farthestLit, radius + 1.5) << "at " << cases[i].t << " s; frames in " << out;
        if (cases[i].rim > 0) {
            EXPECT_LT(grey(p.at(int(cx), int(cy))), cases[i].rim / 3) << "the centre is dark at " << cases[i].t;
            EXPECT_GE(grey(p.at(int(cx + radius / 2), int(cy))), cases[i].rim - 4) << "the rim at " << cases[i].t;
        }
    }
    if (!HasFailure()) fs::remove_all(out);
}

// ---- Captions and tiles -----------------------------------------------------

// A film in a folder of its own: a white "H" from 0.5 to 5 s, and over it from
// 3 to 4 s a tile whose image is red in its top half and blue below.
class CaptionAndTileFilm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = scratchFolder("caption-tile");
        test::ProcessOptions options;
        options.workingDir = folder_.string();
        const test::ProcessResult made =
            test::runProcess({XMOTOOL_BIN, "txf", kDejaVuSans, "caption.txf", "--chars", "H"}, options);
        ASSERT_EQ(made.exitCode, 0) << made.err;

        std::vector<std::uint8_t> card;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) card.insert(card.end(), {std::uint8_t(y < 24 ? 255 : 0), 0, std::uint8_t(y < 24 ? 0 : 255), 255});
        std::string error;
        ASSERT_TRUE(writePngRgba((folder_ / "card.png").string(), card.data(), 64, 48, error)) << error;

        std::ofstream(folder_ / "film.xmo") << R"(<Movie>
 <Sequence duration="10">
  <Camera><CameraElement duration="10">
   <LookAt><Point position="0 0 0"/></LookAt><Eye><Point position="0 0 5"/></Eye>
  </CameraElement></Camera>
  <TextChunk starttime="0.5" endtime="5">
   <Text loadfont="caption.txf" color="1 1 1" position="-40 0" size="20" writetext="H"/>
  </TextChunk>
  <Tiles loadimage="card.png" starttime="3" endtime="4"/>
 </Sequence>
</Movie>
)";
        frames_ = render("film.xmo", folder_.string(), "1,3.5", folder_ / "frames");
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }

    static fs::path folder_;
    static std::vector<test::Picture> frames_;
};
fs::path CaptionAndTileFilm::folder_;
std::vector<test::Picture> CaptionAndTileFilm::frames_;

// Screen place of a caption point: -60..60 on both axes over 800 x 600.
int screenX(float x) { return static_cast<int>(400 + x * 800 / 120); }
int screenY(float y) { return static_cast<int>(300 - y * 600 / 120); }

TEST_F(CaptionAndTileFilm, TheCaptionsGlyphStandsOnItsBaselineAtItsPosition) {
    ASSERT_EQ(frames_.size(), 2u);
    const test::Picture& p = frames_[0];
    ASSERT_EQ(p.width, 800);
    // The H is a capital: 20 units (100 pixels) tall, standing on the
    // baseline through the position, its stem just right of the position.
    int left = p.width, right = -1, top = p.height, bottom = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            if (grey(p.at(x, y)) < 128) continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    EXPECT_NEAR(top, screenY(20), 3) << "frames in " << folder_;
    EXPECT_NEAR(bottom, screenY(0), 3) << "frames in " << folder_;
    EXPECT_GE(left, screenX(-40)) << "frames in " << folder_;
    EXPECT_LE(left, screenX(-37)) << "frames in " << folder_;
    EXPECT_GT(right, screenX(-25)) << "frames in " << folder_;
    EXPECT_LT(right, screenX(-20)) << "frames in " << folder_;
}

TEST_F(CaptionAndTileFilm, TheTileCoversThePictureWithItsFirstRowAtTheTop) {
    ASSERT_EQ(frames_.size(), 2u);
    const test::Picture& p = frames_[1];
    ASSERT_EQ(p.width, 800);
    int red = 0, blue = 0, other = 0;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
            const auto c = p.at(x, y);
            // Linear filtering blends the two halves within half an image
            // row (12.5 screen rows) of the middle.
            if (y >= 287 && y < 313) continue;
            if (y < 300 && c.r == 255 && c.g == 0 && c.b == 0) ++red;
            else if (y >= 300 && c.r == 0 && c.g == 0 && c.b == 255) ++blue;
            else ++other;
        }
    EXPECT_EQ(other, 0) << "the caption or the scene shows through; frames in " << folder_;
    EXPECT_EQ(red, 800 * 287);
    EXPECT_EQ(blue, 800 * 287);
}

// ---- xmotool txf ------------------------------------------------------------

TEST(XmotoolTxf, RefusesWhatItCannotMake) {
    const fs::path folder = scratchFolder("txf");
    const std::string out = (folder / "out.txf").string();
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string err;  // how the message starts
    } cases[] = {
        {{"txf", kDejaVuSans}, 2, "xmotool txf: expected FONT OUT.txf"},
        {{"txf", kDejaVuSans, out, "extra"}, 2, "xmotool txf: expected FONT OUT.txf"},
        {{"txf", kDejaVuSans, out, "--size", "3"}, 2, "xmotool txf: --size: expected a whole number of pixels from 4"},
        {{"txf", kDejaVuSans, out, "--size", "+24"}, 2, "xmotool txf: --size: expected"},
        {{"txf", kDejaVuSans, out, "--size", "24", "--size", "24"}, 2, "xmotool txf: --size given twice"},
        {{"txf", kDejaVuSans, out, "--chars"}, 2, "xmotool txf: --chars needs a value"},
        {{"txf", kDejaVuSans, out, "--bold"}, 2, "xmotool txf: unknown option '--bold'"},
        {{"txf", kDejaVuSans, out, "--chars", "\xE2\x82\xAC"}, 1, "xmotool txf: U+20AC is not a Latin-1 character"},
        {{"txf", (folder / "none.ttf").string(), out}, 1, "xmotool txf: cannot read"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv{XMOTOOL_BIN};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const test::ProcessResult r = test::runProcess(argv);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
        EXPECT_FALSE(fs::exists(out)) << r.err;
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace xmo
