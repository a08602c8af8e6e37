// End-to-end runs of xmotool check, dump and save on the fixtures in
// tests/data/movie (the tests run from tests/data).
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
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
        std::string out;
    };
    const std::string here = fs::current_path().string() + "/";
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
         "movie/media.xmo:4: Tiles: movie/signature-only.png: the header is cut short\n"
         "movie/media.xmo:5: Tiles: movie/not-an-image.txt: not a JFIF JPEG, PNG or BMP file\n"
         "movie/media.xmo:6: Tiles: movie/no-such-image.png: cannot read the image file: No such file or directory "
         "(looked for " + here + "movie/no-such-image.png and " + here + "movie/movie/no-such-image.png)\n"
         "movie/media.xmo:7: Tiles: movie/wide.png: 1100 x 10 pixels, larger than a tile's 1024 x 1024: it is "
         "scaled down to 1024 x 9\n"
         "movie/media.xmo:8: Tiles: no \"loadimage\" given; the tile shows nothing\n"
         "movie/media.xmo:10: Text: movie/no-such-font.txf: cannot open the font file: No such file or directory "
         "(looked for " + here + "movie/no-such-font.txf and " + here + "movie/movie/no-such-font.txf)\n"
         "movie/media.xmo:11: Text: movie/media.xmo: not a TXF font (it does not start with 0xFF \"txf\")\n"
         "movie/media.xmo:16: Sound: movie/no-such-music.mp3: cannot open the music file: No such file or directory "
         "(looked for " + here + "movie/no-such-music.mp3 and " + here + "movie/movie/no-such-music.mp3)\n"
         "movie/media.xmo:17: Sound: movie/empty.mp3: the music file is empty\n"
         "movie/media.xmo:18: Sound: no \"filename\" given\n"
         "movie/media.xmo: 10 problems, playable\n"},
        {"check movie/physics.xmo", 0,
         "movie/physics.xmo:7: Model 2: collisiontype 2 is neither 0 (box) nor 1 (sphere); the model gets no body "
         "and is not simulated\n"
         "movie/physics.xmo:8: Model 3: relativemodelid 2 names a model without a body of its own; the part gets no "
         "collision geometry\n"
         "movie/physics.xmo:9: Model 4: mass 0 is not a positive number; 1 is used\n"
         "movie/physics.xmo:11: position of Model: \"1e39 1 0\" is out of range; it reads as 3.40282e+38 1 0\n"
         "movie/physics.xmo:11: Model 6: boxsize 0 1 1 is not a usable size; 0.8 1 1 is used\n"
         "movie/physics.xmo:11: Model 6: mass -2 is not a positive number; 1 is used\n"
         "movie/physics.xmo:11: Model 6: position 3.40282e+38 1 0 lies outside the world; 0 1 0 is used\n"
         "movie/physics.xmo:11: Model 6: a physical model inside a ModelTransform is simulated in world coordinates "
         "but drawn through the transform too; it shows displaced unless the transform stays at the origin, "
         "unrotated\n"
         "movie/physics.xmo:12: Model 7: a physical model inside a ModelTransform is simulated in world coordinates "
         "but drawn through the transform too; it shows displaced unless the transform stays at the origin, "
         "unrotated\n"
         "movie/physics.xmo:17: Join 21: modelid0 2 has no body of its own; the join is skipped\n"
         "movie/physics.xmo:22: Contact 31: only modelid0 is given; a contact names the two models that must not "
         "collide, so it has no effect\n"
         "movie/physics.xmo:23: Contact 32: modelid0 3 has no collision geometry; the contact has no effect\n"
         "movie/physics.xmo: 12 problems, playable\n"},
    };
    for (const Case& c : cases) {
        const ToolRun r = xmotool(c.arguments, Errors::Apart);
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
    // Bitmap headers alone: a sky wider than some GL takes whole, a height
    // map wider than the ground is made from.
    const auto bitmapHeader = [&](const char* name, int width) {
        std::ofstream(dir + name, std::ios::binary)
            << "BM" + std::string(12, '\0') +
                   std::string{40, 0, 0, 0, char(width & 0xff), char(width >> 8), 0, 0, 4, 0, 0, 0, 1, 0, 24, 0} +
                   std::string(24, '\0');
        return dir + name;
    };
    const std::string wide = bitmapHeader("wide.bmp", 9000);
    const std::string broad = bitmapHeader("broad.bmp", 600);
    // Found nowhere: named as the player reads it, from the working directory.
    const auto missing = [&](const std::string& name) {
        return name + ": cannot read the image file: No such file or directory (looked for " +
               (fs::current_path() / name).string() + " and " + dir + name + ")\n";
    };
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, const char*>> files;  // fixture copied to a world image's name
        std::string out;
    };
    const Case cases[] = {
        {"none",
         {},
         missing("heigh.bmp") + missing("moon512.jpg") + missing("test4.jpg") + film + ": 3 problems, playable\n"},
        {"an Exif JPEG and a cut PNG",
         {{"image/exif.jpg", "test4.jpg"}, {"image/truncated.png", "heigh.bmp"}, {"image/baseline.jpg", "moon512.jpg"}},
         dir + "heigh.bmp: the file ends inside the chunk \"IDAT\"\n" + dir +
             "test4.jpg: not a JFIF JPEG, PNG or BMP file\n" + film + ": 2 problems, playable\n"},
        {"all three",
         {{"image/baseline.jpg", "test4.jpg"}, {"image/red.bmp", "heigh.bmp"}, {"image/progressive.jpg", "moon512.jpg"}},
         film + ": 0 problems, playable\n"},
        {"a sky 9000 pixels wide",
         {{wide, "test4.jpg"}},
         dir + "test4.jpg: 9000 x 4 pixels: a side longer than 8192 may be scaled down to the GL's largest texture\n" +
             film + ": 1 problem, playable\n"},
        {"a height map 600 pixels wide",
         {{"image/baseline.jpg", "test4.jpg"}, {broad, "heigh.bmp"}},
         dir + "heigh.bmp: 600 x 4 pixels: the ground is made of the first 512 columns and rows only\n" + film +
             ": 1 problem, playable\n"},
    };
    for (const Case& c : cases) {
        for (const auto& [fixture, name] : c.files)
            fs::copy_file(fixture, folder / name, fs::copy_options::overwrite_existing);
        const ToolRun r = xmotool("check " + film, Errors::Apart);
        EXPECT_EQ(r.exitCode, 0) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
        // Run from elsewhere, the images found beside the film are named
        // once each on standard error.
        std::string notes;
        for (const char* image : {"test4.jpg", "heigh.bmp", "moon512.jpg"})
            if (fs::exists(folder / image))
                notes += dir + image + ": found beside the film (run from its folder to silence this)\n";
        EXPECT_EQ(r.err, notes) << c.name;
    }
    fs::remove_all(folder);
}

// Checked from another folder, a film's files that are not found from there
// are read beside the film, each noted once; saved, the film keeps the names
// it was written with.
TEST(XmotoolCheck, AFilmCheckedFromAnotherFolderReadsItsFilesBesideIt) {
    const fs::path folder = fs::temp_directory_path() / "xmotool-check-beside";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::pair<const char*, const char*> files[] = {
        {"movie/house.x3d", "house.x3d"}, {"effects/tone440.mp3", "music.mp3"}, {"image/red.bmp", "tile.bmp"},
        {"world/test4.jpg", "test4.jpg"}, {"world/heigh.bmp", "heigh.bmp"},    {"world/moon512.jpg", "moon512.jpg"},
    };
    for (const auto& [fixture, name] : files) fs::copy_file(fixture, folder / name);
    const std::string film = (folder / "film.xmo").string();
    std::ofstream(film) << "<Movie><Objects>\n<Object id='1' filename='house.x3d' objectname='House'/></Objects>\n"
                           "<Sounds><Sound filename='music.mp3'/></Sounds>\n"
                           "<Sequence duration='1'><Camera/><Tiles loadimage='tile.bmp' starttime='0' endtime='1'/>\n"
                           "<TextChunk starttime='0' endtime='1'><Text loadfont='font.txf' writetext='Hi'/>"
                           "</TextChunk></Sequence></Movie>\n";
    const ToolRun r = xmotool("check " + film, Errors::Apart);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, film + ":5: Text: font.txf: cannot open the font file: No such file or directory (looked for " +
                         (fs::current_path() / "font.txf").string() + " and " + (folder / "font.txf").string() +
                         ")\n" + film + ": 1 problem, playable\n");
    std::string notes;
    for (const auto& [fixture, name] : files)
        notes += (folder / name).string() + ": found beside the film (run from its folder to silence this)\n";
    EXPECT_EQ(r.err, notes);

    const fs::path saved = folder / "saved.xmo";
    ASSERT_EQ(xmotool("save " + film + " " + saved.string()).exitCode, 0);
    const std::string text = xmo::test::readFile(saved.string());
    for (const char* name : {"filename=\"house.x3d\"", "filename=\"music.mp3\"", "loadimage=\"tile.bmp\"",
                             "loadfont=\"font.txf\""})
        EXPECT_NE(text.find(name), std::string::npos) << name << " in\n" << text;
    fs::remove_all(folder);
}

TEST(Xmotool, UsageErrorsExitWithTwo) {
    for (const char* arguments : {"check", "check a b", "check --json", "check --xml a", "dump", "dump a b", "save movie/basic.xmo"}) {
        const ToolRun r = xmotool(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments;
        EXPECT_EQ(r.out.rfind("usage: xmotool ", 0), 0u) << arguments;
    }
}

// Just enough JSON to read check's output back: an array of flat objects
// whose values are strings or integers, kept as their decoded text.
class ProblemArrayReader {
public:
    explicit ProblemArrayReader(const std::string& text) : s_(text) {}

    std::vector<std::map<std::string, std::string>> read() {
        std::vector<std::map<std::string, std::string>> problems;
        expect('[');
        if (!take(']')) {
            do problems.push_back(object());
            while (take(','));
            expect(']');
        }
        skipBlanks();
        if (i_ != s_.size()) throw std::runtime_error("text after the array");
        return problems;
    }

private:
    std::map<std::string, std::string> object() {
        std::map<std::string, std::string> members;
        expect('{');
        do {
            const std::string key = string();
            expect(':');
            skipBlanks();
            members[key] = s_.at(i_) == '"' ? string() : integer();
        } while (take(','));
        expect('}');
        return members;
    }
    std::string string() {
        expect('"');
        std::string value;
        for (char c; (c = s_.at(i_++)) != '"';) {
            if (c != '\\') {
                value += c;
                continue;
            }
            const char e = s_.at(i_++);
            if (e == 'n') value += '\n';
            else if (e == 't') value += '\t';
            else if (e == 'u') value += static_cast<char>(std::stoi(s_.substr(i_, 4), nullptr, 16)), i_ += 4;
            else value += e;
        }
        return value;
    }
    std::string integer() {
        const size_t start = i_;
        while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '-')) ++i_;
        if (i_ == start) throw std::runtime_error("no value at " + std::to_string(start));
        return s_.substr(start, i_ - start);
    }
    void skipBlanks() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    bool take(char c) {
        skipBlanks();
        if (i_ < s_.size() && s_[i_] == c) return ++i_, true;
        return false;
    }
    void expect(char c) {
        if (!take(c)) throw std::runtime_error(std::string("expected ") + c + " at " + std::to_string(i_));
    }

    const std::string& s_;
    size_t i_ = 0;
};

TEST(XmotoolCheck, JsonListsTheProblemsWithTheSameExitCodes) {
    // A folder of its own, with the world the player reads beside the film.
    const fs::path folder = fs::temp_directory_path() / "xmotool-json-test";
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* image : {"test4.jpg", "heigh.bmp", "moon512.jpg"})
        fs::create_symlink(fs::absolute(fs::path("world") / image), folder / image);
    const fs::path movie = folder / "film.xmo";
    std::ofstream(movie) << "<Movie>\n<Objects><BrikObject id='1' size='1 1 1' color='1'/></Objects>\n"
                            "<Models><Model id='1' objectid='1' mass='a\"b\\c\t' postion='0 0 0'/></Models>\n"
                            "<Sequence duration='1'><Camera/></Sequence></Movie>\n";
    const ToolRun r = xmotool("check --json " + movie.string(), Errors::Apart);
    EXPECT_EQ(r.exitCode, 0);
    // Standard output stays pure JSON: the world found beside the film is noted on standard error.
    std::string notes;
    for (const char* image : {"test4.jpg", "heigh.bmp", "moon512.jpg"})
        notes += (folder / image).string() + ": found beside the film (run from its folder to silence this)\n";
    EXPECT_EQ(r.err, notes);
    using Problem = std::map<std::string, std::string>;
    const std::vector<Problem> expected = {
        {{"file", movie.string()}, {"line", "3"}, {"kind", "unread-value"},
         {"message", "mass of Model: \"a\"b\\c \" is not a number; it reads as 0"}},
        {{"file", movie.string()}, {"line", "3"}, {"kind", "unknown-attribute"},
         {"message", "unknown attribute \"postion\" of Model; did you mean \"position\"?"}},
    };
    EXPECT_EQ(ProblemArrayReader(r.out).read(), expected) << r.out;

    std::ofstream(movie) << "<Movie><Sequence duration='1'><Camera/></Sequence></Movie>";
    const ToolRun clean = xmotool("check --json " + movie.string(), Errors::Apart);
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_EQ(ProblemArrayReader(clean.out).read(), std::vector<Problem>{}) << clean.out;
    fs::remove_all(folder);

    const ToolRun broken = xmotool("check --json movie/broken.xmo", Errors::Apart);
    EXPECT_EQ(broken.exitCode, 3);
    EXPECT_EQ(ProblemArrayReader(broken.out).read(), (std::vector<Problem>{
        {{"file", "movie/broken.xmo"}, {"line", "4"}, {"kind", "refused"}, {"message", "mismatched tag at line 4"}},
    }));
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

// The values of every "key": in the JSON text, in document order.
std::vector<std::string> jsonValues(const std::string& json, const std::string& key) {
    std::vector<std::string> values;
    const std::string marker = "\"" + key + "\": ";
    for (size_t at = json.find(marker); at != std::string::npos; at = json.find(marker, at + 1)) {
        const size_t from = at + marker.size();
        values.push_back(json.substr(from, json.find_first_of(",\n", from) - from));
    }
    return values;
}

TEST(XmotoolDump, GivesTheBodyAndJointIndexesThePlayerWouldGive) {
    const ToolRun r = xmotool("dump movie/physics.xmo", Errors::Apart);
    EXPECT_EQ(r.exitCode, 0);
    // Models 1, 4, 6 and 7 get bodies; 2's collisiontype and 3's relative
    // model (2) give them none. Join 21 names model 2.
    EXPECT_EQ(jsonValues(r.out, "bodyIndex"), (std::vector<std::string>{"0", "null", "null", "1", "2", "3"}));
    EXPECT_EQ(jsonValues(r.out, "joint"), (std::vector<std::string>{"0", "null", "1"}));
}

TEST(XmotoolSave, WritesAFileThatLoadsAgain) {
    const fs::path out = fs::temp_directory_path() / "xmotool-save-test.xmo";
    const ToolRun first = xmotool("save movie/basic.xmo " + out.string());
    EXPECT_EQ(first.exitCode, 0) << first.out;
    const std::string saved = xmo::test::readFile(out.string());
    EXPECT_NE(saved.find("  <Model id=\"10\" objectid=\"1\" position=\"0 0.5 0\" rotation=\"0 1 0 90\""
                         " physicalbased=\"true\" castshadow=\"true\" mass=\"2\"/>\n"),
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
