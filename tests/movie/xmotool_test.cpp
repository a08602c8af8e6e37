// End-to-end runs of xmotool check, dump and save on the fixtures in
// tests/data/movie (the tests run from tests/data).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "support/process.h"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int exitCode;
    std::string out;  // standard output, followed by standard error unless kept apart
    std::string err;
};

enum class Errors { WithOutput, Apart };

ToolRun xmotool(const std::string& arguments, Errors errors = Errors::WithOutput) {
    std::vector<std::string> argv{XMOTOOL_BIN};
    std::istringstream words(arguments);
    for (std::string word; words >> word;) argv.push_back(word);
    const xmo::test::ProcessResult r = xmo::test::runProcess(argv);
    if (errors == Errors::Apart) return {r.exitCode, r.out, r.err};
    return {r.exitCode, r.out + r.err, ""};
}

TEST(XmotoolCheck, ReportsProblemsAndWhetherTheFilmIsPlayable) {
    struct Case {
        const char* arguments;
        int exitCode;
        const char* out;
    };
    const Case cases[] = {
        {"check movie/broken.xmo", 3,
         "movie/broken.xmo:4: mismatched tag at line 4\n"
         "movie/broken.xmo: 1 problem, the player would refuse this film\n"},
        {"check movie/no-camera.xmo", 3,
         "movie/no-camera.xmo:5: Sequence 2 has no Camera\n"
         "movie/no-camera.xmo: 1 problem, the player would refuse this film\n"},
        {"check movie/missing.xmo", 3,
         "movie/missing.xmo: cannot open the movie file: No such file or directory\n"
         "movie/missing.xmo: 1 problem, the player would refuse this film\n"},
        {"check movie/media.xmo", 0,
         "movie/media.xmo:5: the image file \"movie/not-an-image.txt\" is not a PNG, a JFIF JPEG or a BMP image\n"
         "movie/media.xmo:6: cannot open the image file \"movie/no-such-image.png\": No such file or directory\n"
         "movie/media.xmo:8: cannot open the font file \"movie/no-such-font.txf\": No such file or directory\n"
         "movie/media.xmo: 3 problems, playable\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = xmotool(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.arguments;
        EXPECT_EQ(r.out, c.out) << c.arguments;
    }
    const ToolRun basic = xmotool("check movie/basic.xmo");
    EXPECT_EQ(basic.exitCode, 0);
    EXPECT_NE(basic.out.find("movie/basic.xmo:32: XFunction \"enablemodels\": no model has an id from 1 to 1\n"),
              std::string::npos)
        << basic.out;
}

TEST(XmotoolCheck, ReportsTheWorldImagesOfTheFilmsFolder) {
    const fs::path folder = fs::temp_directory_path() / "xmotool-check-world";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::copy_file("app/still.xmo", folder / "still.xmo");
    const std::string film = (folder / "still.xmo").string();
    const std::string dir = folder.string() + "/";
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, const char*>> files;  // fixture copied to a world image's name
        std::string out;
    };
    const Case cases[] = {
        {"none",
         {},
         dir + "test4.jpg: cannot read the image file: No such file or directory\n" + dir +
             "heigh.bmp: cannot read the image file: No such file or directory\n" + dir +
             "moon512.jpg: cannot read the image file: No such file or directory\n" + film +
             ": 3 problems, playable\n"},
        {"an Exif JPEG and a cut PNG",
         {{"image/exif.jpg", "test4.jpg"}, {"image/truncated.png", "heigh.bmp"}, {"image/baseline.jpg", "moon512.jpg"}},
         dir + "test4.jpg: not a JFIF JPEG, PNG or BMP file\n" + dir +
             "heigh.bmp: the file ends inside the chunk \"IDAT\"\n" + film + ": 2 problems, playable\n"},
        {"all three",
         {{"image/baseline.jpg", "test4.jpg"}, {"image/red.bmp", "heigh.bmp"}, {"image/progressive.jpg", "moon512.jpg"}},
         film + ": 0 problems, playable\n"},
    };
    for (const Case& c : cases) {
        for (const auto& [fixture, name] : c.files)
            fs::copy_file(fixture, folder / name, fs::copy_options::overwrite_existing);
        const ToolRun r = xmotool("check " + film);
        EXPECT_EQ(r.exitCode, 0) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
    }
    fs::remove_all(folder);
}

TEST(Xmotool, UsageErrorsExitWithTwo) {
    for (const char* arguments : {"check", "check a b", "dump", "dump a b", "save movie/basic.xmo"}) {
        const ToolRun r = xmotool(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments;
        EXPECT_EQ(r.out.rfind("usage: xmotool ", 0), 0u) << arguments;
    }
}

TEST(XmotoolDump, WritesOnlyJsonOnStandardOutput) {
    const ToolRun r = xmotool("dump movie/basic.xmo", Errors::Apart);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out.rfind("{\n  \"type\": \"Movie\",\n  \"fileName\": \"movie/basic.xmo\",\n", 0), 0u) << r.out;
    EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
    EXPECT_NE(r.out.find("\"targets\": ["), std::string::npos);
    // The problems go to standard error.
    EXPECT_NE(r.err.find("movie/basic.xmo:32: "), std::string::npos);

    const ToolRun broken = xmotool("dump movie/broken.xmo", Errors::Apart);
    EXPECT_EQ(broken.exitCode, 3);
    EXPECT_EQ(broken.out, "");
}

TEST(XmotoolSave, WritesAFileThatLoadsAgain) {
    const fs::path out = fs::temp_directory_path() / "xmotool-save-test.xmo";
    const ToolRun first = xmotool("save movie/basic.xmo " + out.string());
    EXPECT_EQ(first.exitCode, 0) << first.out;
    const std::string saved = xmo::test::readFile(out.string());
    EXPECT_NE(saved.find("  <Model id=\"10\" objectid=\"1\" position=\"0 0.5 0\" rotation=\"0 1 0 90\"/>\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(xmotool("check " + out.string()).exitCode, 0);
    fs::remove(out);

    const ToolRun unwritable = xmotool("save movie/basic.xmo /nonexistent-dir/out.xmo");
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_EQ(unwritable.out, "xmotool: cannot write /nonexistent-dir/out.xmo: No such file or directory\n");
    EXPECT_EQ(xmotool("save movie/broken.xmo " + out.string()).exitCode, 3);
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
