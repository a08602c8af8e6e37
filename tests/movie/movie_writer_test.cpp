#include "movie/movie_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "movie/movie_json.h"
#include "movie/movie_test_support.h"
#include "movie/value_text.h"
#include "movie/values.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;
using test::TestLoad;

const std::string kHeader = "<?xml version=\"1.0\"?>\n<!DOCTYPE x3d SYSTEM \"???.dtd\">\n";

// The dump of a movie without the file lines, which a written file changes.
std::string dumpWithoutLines(const Movie& movie) {
    std::ostringstream json;
    writeMovieJson(movie, json);
    std::istringstream lines(json.str());
    std::string kept;
    for (std::string line; std::getline(lines, line);)
        if (line.find("\"sourceLine\"") == std::string::npos) kept += line + '\n';
    return kept;
}

// Loads the written text of a movie under the movie's own name, so that the
// dumps differ only where the writer lost something; returns the second
// writing of that, which must be the first one again.
void expectWrittenFilmIsTheSameFilm(const Movie& movie) {
    const std::string written = movie.writeXml();
    TestLoad t;
    const auto back = t.load(kHeader + written, movie.fileName);
    EXPECT_EQ(dumpWithoutLines(*back), dumpWithoutLines(movie)) << written;
    EXPECT_EQ(back->writeXml(), written);
}

// A film that uses only what the classic writer covered comes out as its
// classic lines.
TEST(MovieWriter, WritesTheClassicLinesOfAClassicFilm) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie><Objects><Object id='3' filename='movie/house.x3d' objectname='A'/>"
        "<BrikObject id='4' size='2 0.5 1.5e6'"
        " color='7'/></Objects>"
        "<Models><Model id='1' objectid='4' position='0.1 -2 3' rotation='0 0 1 90'/>"
        "<ModelTransform id='2' position='1 1 1'/></Models>"
        "<Sequence duration='2.5'><Camera><CameraElement duration='1' eyetype='e' lookattype='l'"
        " interpolationfunction='hermite'><LookAt><Point position='1 2 3'/></LookAt><Eye><Point position='4 5 6'/>"
        "</Eye></CameraElement></Camera>"
        "<Animation modelid='1' interpolationfunction='bspline' loop='true'>"
        "<KeyFrameForce keytime='3' position='1 2 3'/><KeyFrameRotation keytime='2' rotation='1 0 0 0'/>"
        "<KeyFramePosition keytime='1' position='0 0 0' interpolationfunction='hermite'/></Animation>"
        "</Sequence></Movie>");
    EXPECT_EQ(movie->writeXml(),
              "<Movie>\n"
              " <Objects>\n"
              "  <Object id=\"3\" filename=\"movie/house.x3d\" objectname=\"A\"/>\n"
              "  <BrikObject id=\"4\" size=\"2 0.5 1.5e+06\" color=\"7\"/>\n"
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

// Every element and every attribute of the format, each attribute away from
// its default, and values that six digits or a unit axis would change.
constexpr const char* kEveryElement = R"(<Movie>
<Objects>
 <Object id="1" filename="movie/house.x3d" objectname="House" scale="2.5" standard="true"/>
 <BrikObject id="2" size="2 1 4" color="4"/>
</Objects>
<Models>
 <Model id="1" objectid="1" position="-0 0.1234567 3" rotation="0 2 0 -300" physicalbased="true"
  animatephysics="true" castshadow="true" collisiontype="1" boxsize="9 9 9" mass="2.5" relative="0 1 0"
  relativemodelid="3" function="note"/>
 <ModelTransform id="5" position="0 0 1" rotation="1 0 0 30">
  <Model id="2" objectid="2" boxsize="1 2 3" mass="1"/>
  <ModelTransform id="6"/>
 </ModelTransform>
 <Model id="3" objectid="9" boxsize="4 4 4" function="overwritten by the command"/>
</Models>
<Joins><Join id="1" modelid0="1" modelid1="2" position="0 1 0"/></Joins>
<Contacts><Contact id="4" modelid0="1" modelid1="3"/></Contacts>
<Sounds><Sound filename="music.mp3" starttime="1.5"/></Sounds>
<Sequence duration="10">
 <Camera><CameraElement duration="10" eyetype="e" lookattype="l" interpolationfunction="hermite">
  <LookAt><Point position="0 0 0"/></LookAt><Eye><Point position="0 5 -10"/></Eye></CameraElement></Camera>
 <Animation modelid="5" interpolationfunction="bspline" loop="true">
  <KeyFramePosition keytime="0" position="-100 -100 -100" interpolationfunction="hermite"/>
  <KeyFrameRotation keytime="1" rotation="0 1 0 360" interpolationfunction="linear"/>
  <KeyFrameForce keytime="2" linearvelocity="1 0 0" position="0 1 0" rotation="0 1 0 720" angularvelocity="0 0 1"/>
 </Animation>
 <XFunction modelid="3" xfunctiontype="enablemodels" timer1="0.5" modelids="1 2" frommodelid="1" tomodelid="3"/>
 <SpecialEffect type="blackfadein" starttime="0" endtime="1"/>
 <Particle type="spark" position="1 1 1" velocity="0 1 0" fadetime="2"/>
 <TextChunk starttime="1" endtime="4">
  <Text loadfont="font.txf" writetext="One&#10;two&#9;&#13;&amp; &quot;&lt;3&gt;&quot;" position="10 20" color="1 0.5 0"
   size="12"/>
 </TextChunk>
 <TextChunk/>
 <Tiles loadimage="tile.png" starttime="2" endtime="3"/>
</Sequence>
</Movie>)";

TEST(MovieWriter, WritesEverythingTheFilmHoldsInTheReadersLayout) {
    TestLoad t;
    const auto movie = t.load(kEveryElement);
    EXPECT_EQ(movie->writeXml(),
              "<Movie>\n"
              " <Objects>\n"
              "  <Object id=\"1\" filename=\"movie/house.x3d\" objectname=\"House\" scale=\"2.5\" standard=\"true\"/>\n"
              "  <BrikObject id=\"2\" size=\"2 1 4\" color=\"4\"/>\n"
              " </Objects>\n"
              " <Models>\n"
              "  <Model id=\"1\" objectid=\"1\" position=\"-0 0.1234567 3\" rotation=\"0 2 0 -300\""
              " physicalbased=\"true\" animatephysics=\"true\" castshadow=\"true\" collisiontype=\"1\" mass=\"2.5\""
              " relative=\"0 1 0\" relativemodelid=\"3\" function=\"note\"/>\n"
              "<ModelTransform id=\"5\" position=\"0 0 1\" rotation=\"1 0 0 30\">\n"
              "  <Model id=\"2\" objectid=\"2\" position=\"0 0 0\" rotation=\"0 1 0 0\" boxsize=\"1 2 3\""
              " mass=\"1\"/>\n"
              "<ModelTransform id=\"6\" position=\"0 0 0\" rotation=\"0 1 0 0\"/>\n"
              "</ModelTransform>\n"
              "  <Model id=\"3\" objectid=\"9\" position=\"0 0 0\" rotation=\"0 1 0 0\" boxsize=\"4 4 4\"/>\n"
              " </Models>\n"
              " <Joins>\n"
              "  <Join id=\"1\" modelid0=\"1\" modelid1=\"2\" position=\"0 1 0\"/>\n"
              " </Joins>\n"
              " <Contacts>\n"
              "  <Contact id=\"4\" modelid0=\"1\" modelid1=\"3\"/>\n"
              " </Contacts>\n"
              " <Sounds>\n"
              "  <Sound filename=\"music.mp3\" starttime=\"1.5\"/>\n"
              " </Sounds>\n"
              " <Sequences>\n"
              "<Sequence duration=\"10\">\n"
              " <Camera>\n"
              "  <CameraElement duration=\"10\" eyetype=\"e\" lookattype=\"l\" interpolationfunction=\"hermite\">\n"
              "   <LookAt>\n"
              "    <Point position=\"0 0 0\"/>\n"
              "   </LookAt>\n"
              "   <Eye>\n"
              "    <Point position=\"0 5 -10\"/>\n"
              "   </Eye>\n"
              "  </CameraElement>\n"
              " </Camera>\n"
              "\n"
              " <Animations>\n"
              "  <Animation modelid=\"5\" interpolationfunction=\"bspline\" loop=\"true\">\n"
              "   <KeyFramePosition keytime=\"0\" position=\"-100 -100 -100\" interpolationfunction=\"hermite\"/>\n"
              "   <KeyFrameRotation keytime=\"1\" rotation=\"0 1 0 360\" interpolationfunction=\"linear\"/>\n"
              "   <KeyFrameForce keytime=\"2\" linearvelocity=\"1 0 0\" position=\"0 1 0\" rotation=\"0 1 0 "
              "2.0035824e-05\" angularvelocity=\"0 0 1\" activated=\"false\"/>\n"
              "  </Animation>\n"
              " </Animations>\n"
              " <XFunctions>\n"
              "  <XFunction modelid=\"3\" xfunctiontype=\"enablemodels\" timer1=\"0.5\" modelids=\"1 2\""
              " frommodelid=\"1\" tomodelid=\"3\"/>\n"
              " </XFunctions>\n"
              " <SpecialEffects>\n"
              "  <SpecialEffect type=\"blackfadein\" starttime=\"0\" endtime=\"1\"/>\n"
              " </SpecialEffects>\n"
              " <Particles>\n"
              "  <Particle type=\"spark\" position=\"1 1 1\" velocity=\"0 1 0\" fadetime=\"2\"/>\n"
              " </Particles>\n"
              " <TextChunk starttime=\"1\" endtime=\"4\">\n"
              "  <Text loadfont=\"font.txf\" writetext=\"One&#10;two&#9;&#13;&amp; &quot;&lt;3&gt;&quot;\""
              " position=\"10 20\" color=\"1 0.5 0\" size=\"12\"/>\n"
              " </TextChunk>\n"
              " <TextChunk/>\n"
              " <Tiles loadimage=\"tile.png\" starttime=\"2\" endtime=\"3\"/>\n"
              "</Sequence>\n"
              "\n"
              " </Sequences>\n"
              "</Movie>\n"
              "\n");
    expectWrittenFilmIsTheSameFilm(*movie);
}

// The demo, the examples of the format and every test film: each loads and
// reads back as the same film, but for those made not to load.
TEST(MovieWriter, EveryFilmReadsBackAsTheSameFilm) {
    const std::map<std::string, std::string> refused = {
        {"movie/broken.xmo", "it is not well-formed"},
        {"movie/no-camera.xmo", "a sequence has no camera"},
        {"app/malformed.xmo", "it is not well-formed"},
        {"app/missing_scene.xmo", "its scene file does not exist"},
    };
    // Films that name their files beside themselves, as their tests play
    // them from a copy of their folder; the other test films play from the
    // test data folder.
    const std::set<std::string> playedInTheirFolder = {"app/author_loop.xmo"};

    const fs::path testData = fs::current_path();
    const fs::path source(XMO_SOURCE_DIR);
    std::vector<std::pair<fs::path, std::string>> films = {{source / "assets/demo", "BrikBasics.xmo"}};
    const auto addFilms = [&](const fs::path& playedFrom, const fs::path& folder) {
        const std::size_t before = films.size();
        for (const fs::directory_entry& e : fs::directory_iterator(playedFrom / folder)) {
            if (e.path().extension() != ".xmo") continue;
            const std::string name = (folder / e.path().filename()).string();
            if (playedInTheirFolder.count(name))
                films.emplace_back(playedFrom / folder, e.path().filename().string());
            else
                films.emplace_back(playedFrom, name);
        }
        EXPECT_GT(films.size(), before) << "no films in " << (playedFrom / folder);
    };
    addFilms(testData, "movie");
    addFilms(testData, "app");
    addFilms(source / "docs/examples", "");
    std::size_t refusedSeen = 0;
    for (const auto& [folder, film] : films) {
        SCOPED_TRACE(film);
        const auto reason = refused.find(film);
        refusedSeen += reason != refused.end();
        fs::current_path(folder);  // a film names its files relative to where it plays
        TestLoad t;
        try {
            const auto movie = loadMovie(film, t.services);
            EXPECT_EQ(reason, refused.end()) << "it loads, though it should not: " << reason->second;
            expectWrittenFilmIsTheSameFilm(*movie);
        } catch (const LoadError& e) {
            EXPECT_NE(reason, refused.end()) << "it does not load: " << e.file() << ":" << e.line() << ": " << e.what();
        }
        fs::current_path(testData);
    }
    EXPECT_EQ(refusedSeen, refused.size()) << "a film listed as refused is missing";
}

TEST(MovieWriter, ValuesReadBackBitForBit) {
    const struct {
        float value;
        const char* text;
    } floats[] = {
        {0.5f, "0.5"}, {2.0f, "2"}, {-0.0f, "-0"}, {1.5e6f, "1.5e+06"}, {1234567.0f, "1234567"},
        {0.1234567f, "0.1234567"}, {3.40282347e38f, "3.4028235e+38"}, {1e-45f, "1.4013e-45"},
    };
    for (const auto& f : floats) EXPECT_EQ(floatText(f.value), f.text);

    const struct {
        const char* read;
        const char* written;
    } rotations[] = {
        {"0 1 0 90", "0 1 0 90"},        // the unit axis and the angle, as ever
        {"0 2 0 90", "0 2 0 90"},        // a longer axis scales the quaternion: kept
        {"0 1 0 360", "0 1 0 360"},      // a unit axis would flip the sign of sin(180)
        {"0 1 0 -0", "0 1 0 -0"},        // zeros keep their signs
        {"0 1 0 720", "0 1 0 2.0035824e-05"},  // a whole turn of the half angle shows
        {"1 1 1 0.0001", nullptr},       // a tiny angle, far from its radians
        {"0.3 -0.4 12 1234.5", nullptr}, // beyond a turn
    };
    for (const auto& r : rotations) {
        const Quatf q = readRotation(r.read);
        const std::string text = rotationText(q);
        if (r.written) {
            EXPECT_EQ(text, r.written) << r.read;
        }
        EXPECT_TRUE(sameBits(readRotation(text.c_str()), q)) << r.read << " -> " << text;
    }
    std::mt19937 random(15);
    std::uniform_real_distribution<float> axis(-3.0f, 3.0f), angle(-1000.0f, 1000.0f);
    int exact = 0;
    for (int i = 0; i < 5000; ++i) {
        const std::string read = std::to_string(axis(random)) + ' ' + std::to_string(axis(random)) + ' ' +
                                 std::to_string(axis(random)) + ' ' + std::to_string(angle(random));
        const Quatf q = readRotation(read.c_str());
        exact += sameBits(readRotation(rotationText(q).c_str()), q);
    }
    EXPECT_EQ(exact, 5000);
}

}  // namespace
}  // namespace xmo
