#include "movie/movie_writer.h"

#include <gtest/gtest.h>

#include "support/process.h"
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "movie/movie_test_support.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;
using test::TestLoad;

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "xmo-writer-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

TEST(MovieWriter, WritesTheExactLinesOfEveryRecord) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie><Objects><Object id='3' filename='movie/house.x3d' objectname='A'/><BrikObject id='4' size='2 0.5 1234567'"
        " color='7'/></Objects>"
        "<Models><Model id='1' objectid='4' position='0.1 -2 3' rotation='0 0 2 90' mass='5'/>"
        "<ModelTransform id='2' position='1 1 1'><Model id='9'/></ModelTransform></Models>"
        "<Joins><Join modelid0='1'/></Joins>"
        "<Sequence duration='2.5'><Camera><CameraElement duration='1' eyetype='e' lookattype='l'"
        " interpolationfunction='hermite'><LookAt><Point position='1 2 3'/></LookAt><Eye><Point position='4 5 6'/>"
        "</Eye></CameraElement></Camera>"
        "<XFunction xfunctiontype='exit'/>"
        "<Animation modelid='1' interpolationfunction='bspline' loop='true'>"
        "<KeyFrameForce keytime='3' position='1 2 3'/><KeyFrameRotation keytime='2' rotation='1 0 0 0'/>"
        "<KeyFramePosition keytime='1' position='0 0 0' interpolationfunction='hermite'/></Animation>"
        "</Sequence></Movie>");
    EXPECT_EQ(movie->writeXml(),
              "<Movie>\n"
              " <Objects>\n"
              "  <Object id=\"3\" filename=\"movie/house.x3d\" objectname=\"A\"/>\n"
              "  <BrikObject id=\"4\" size=\"2 0.5 1.23457e+06\" color=\"7\"/>\n"
              " </Objects>\n"
              " <Models>\n"
              "  <Model id=\"1\" objectid=\"4\" position=\"0.1 -2 3\" rotation=\"0 0 1 90\"/>\n"
              "<ModelTransform id=\"2\" position=\"1 1 1\" rotation=\"0 1 0 0\"/>\n"
              " </Models>\n"
              " <Sequences>\n"
              "<Sequence duration=\"2.5\">\n"
              " <Camera>\n"
              "  <CameraElement duration=\"1\" eyetype=\"e\" lookattype=\"l\" interpolationfunction=\"hermite\">\n"
              "   <LookAt>\n"
              "    <Point position=\"1 2 3\"/>\n"
              "   </LookAt>\n"
              "   <Eye>\n"
              "    <Point position=\"4 5 6\"/>\n"
              "   </Eye>\n"
              "  </CameraElement>\n"
              " </Camera>\n"
              "\n"
              " <Animations>\n"
              "  <Animation modelid=\"1\" interpolationfunction=\"bspline\" loop=\"true\">\n"
              "   <KeyFramePosition keytime=\"1\" position=\"0 0 0\" interpolationfunction=\"hermite\"/>\n"
              "   <KeyFrameRotation keytime=\"2\" rotation=\"0 1 0 0\" interpolationfunction=\"\"/>\n"
              "   <KeyFrameForce keytime=\"3\" linearvelocity=\"-100 -100 -100\" position=\"1 2 3\" rotation=\"0 1 0 "
              "0\" angularvelocity=\"-100 -100 -100\" activated=\"false\"/>\n"
              "  </Animation>\n"
              " </Animations>\n"
              "</Sequence>\n"
              "\n"
              " </Sequences>\n"
              "</Movie>\n"
              "\n");
}

TEST(MovieWriter, EscapesStringsSoTheyReadBack) {
    EXPECT_EQ(escapeXml("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e'f");
    Movie movie;
    auto object = std::make_unique<Object>();
    object->filename = "movie/house.x3d";
    object->objectname = "Tom & \"Jerry\" <1>";
    movie.objects.push_back(std::move(object));
    auto sequence = std::make_unique<Sequence>();
    sequence->camera = std::make_unique<Camera>();
    movie.sequences.push_back(std::move(sequence));
    TestLoad t;
    const auto back = t.load(movie.writeXml());
    EXPECT_EQ(dynamic_cast<const Object&>(*back->objects.at(0)).objectname, "Tom & \"Jerry\" <1>");
}

TEST(MovieWriter, RoundTripIsStableFromTheSecondSave) {
    TempDir dir;
    std::vector<std::string> saves;
    std::string source = "movie/basic.xmo";
    for (int i = 0; i < 3; ++i) {
        TestLoad t;
        const auto movie = loadMovie(source, t.services);
        source = (dir.path() / ("save" + std::to_string(i) + ".xmo")).string();
        saveMovie(*movie, source);
        saves.push_back(test::readFile(source));
    }
    EXPECT_EQ(saves[1], saves[2]);
    EXPECT_EQ(saves[0].rfind("<?xml version=\"1.0\"?>\n<!DOCTYPE x3d SYSTEM \"???.dtd\">\n<Movie>\n", 0), 0u);
}

TEST(MovieWriter, ReplacesTheTargetAndLeavesNoTemporaryFile) {
    TempDir dir;
    const fs::path target = dir.path() / "out.xmo";
    std::ofstream(target) << "old content that is longer than the new one, by far, really";
    Movie movie;
    saveMovie(movie, target.string());
    EXPECT_EQ(test::readFile(target.string()), "<?xml version=\"1.0\"?>\n<!DOCTYPE x3d SYSTEM \"???.dtd\">\n" + movie.writeXml());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(MovieWriter, ReportsAFileThatCannotBeWritten) {
    TempDir dir;
    const std::string target = (dir.path() / "missing" / "out.xmo").string();
    try {
        saveMovie(Movie(), target);
        FAIL() << "saved";
    } catch (const SaveError& e) {
        EXPECT_EQ(std::string(e.what()), "cannot write " + target + ": No such file or directory");
    }
    // Renaming onto a directory fails after the text was written: nothing is left behind.
    fs::create_directory(dir.path() / "taken");
    EXPECT_THROW(saveMovie(Movie(), (dir.path() / "taken").string()), SaveError);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace xmo
