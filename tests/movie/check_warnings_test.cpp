// What xmotool check warns about in films the player still plays: names the
// format does not know, values not read in full, repeated ids, a second
// Movie, durations that are not positive, times and keys the film never
// reaches or takes out of order, effects that never show; and what it still
// lists around a refusal. And the loader's known names
// against the strict schema of docs/xmo.rng, both ways.
#include <expat.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "movie/movie_fields.h"
#include "movie/movie_test_support.h"

namespace xmo {
namespace {

using test::TestLoad;

// One brick object with id 1, the given models and one sequence.
std::string film(const std::string& models, const std::string& sequenceBody = "",
                 const std::string& sequenceAttributes = "duration='1'") {
    return "<Movie><Objects><BrikObject id='1' size='1 1 1' color='1'/></Objects><Models>" + models +
           "</Models><Sequence " + sequenceAttributes + "><Camera/>" + sequenceBody + "</Sequence></Movie>";
}

TEST(CheckWarnings, HostileSnippetsGiveTheirWarningLines) {
    const std::string model = "<Model id='1' objectid='1'/>";
    struct Case {
        std::string text;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        // What the player reads the way an author means it draws no warning.
        {"<Movie>\n<Objects><BrikObject id='1' size=' 1\n 1  1 ' color='+1'/></Objects>"
         "<Models><Model id='1' objectid='1' mass='+1.e0' castshadow='false' rotation='0 1 0 -90'/></Models>"
         "<Sequences><Sequence duration='.5E+1'><Camera/><Animation modelid='1'>"
         "<KeyFrameForce keytime='0' activated='true'/></Animation>"
         "<XFunction modelid='1' xfunctiontype='exit' timer1='1' modelids=''/></Sequence></Sequences></Movie>",
         {}},
        {film("<Model id='1' objectid='1' postion='0 1 0' velocity='1 0 0' Mass='2'/>"),
         {"test.xmo:1: unknown attribute \"postion\" of Model; did you mean \"position\"?",
          "test.xmo:1: unknown attribute \"velocity\" of Model",
          "test.xmo:1: unknown attribute \"Mass\" of Model; did you mean \"mass\"?"}},
        {film(model, "<Chapter><Animation modelid='1' loop='true'><KeyFrameRotaton keytime='1' rotaton='x'/>"
                     "</Animation></Chapter>",
              "duration='1' title='x'"),
         {"test.xmo:1: unknown attribute \"title\" of Sequence",
          "test.xmo:1: unknown element \"Chapter\"",
          "test.xmo:1: unknown element \"KeyFrameRotaton\"; did you mean \"KeyFrameRotation\"?"}},
        {"<Movie colour='red'><Models><Model id='1' objectid='1'/></Models><Sequence duration='1'>"
         "<Camera><CameraElement duration='1' lookatype='x'><Eye><Point position='1 2 3' size='2'/></Eye>"
         "</CameraElement></Camera></Sequence><Objects><BrikObject id='1' color='1' size='1 1 1'/></Objects></Movie>",
         {"test.xmo:1: unknown attribute \"colour\" of Movie",
          "test.xmo:1: unknown attribute \"lookatype\" of CameraElement; did you mean \"lookattype\"?",
          "test.xmo:1: unknown attribute \"size\" of Point"}},
        // Numbers that cannot be read, or only in part, and one that saturates.
        {film("<Model id='1' objectid='1' mass='nan' boxsize='inf 1 1' position='1 2' relative='1 2 3 4'"
              " rotation='0 1 0' collisiontype='1.5' relativemodelid='-99999999999' castshadow='TRUE'/>",
              "<Animation modelid='1'><KeyFramePosition keytime='0x10' position='0 0 0'/>"
              "<KeyFramePosition keytime='1,5' position='1e 0 0'/></Animation>"
              "<XFunction xfunctiontype='exit' timer1='' modelids='1,2'/>"),
         {"test.xmo:1: mass of Model: \"nan\" is not a number; it reads as 0",
          "test.xmo:1: boxsize of Model: \"inf 1 1\" is not a number; it reads as 0 0 0",
          "test.xmo:1: position of Model: \"1 2\" has too few numbers; it reads as 1 2 0",
          "test.xmo:1: relative of Model: \"1 2 3 4\" is not read in full; it reads as 1 2 3",
          "test.xmo:1: rotation of Model: \"0 1 0\" has too few numbers; the numbers from there on read as 0",
          "test.xmo:1: collisiontype of Model: \"1.5\" is not read in full; it reads as 1",
          "test.xmo:1: relativemodelid of Model: \"-99999999999\" is out of range; it reads as -2147483648",
          "test.xmo:1: castshadow of Model: \"TRUE\" is neither \"true\" nor \"false\"; it reads as false",
          "test.xmo:1: keytime of KeyFramePosition: \"0x10\" is not read in full; it reads as 0",
          "test.xmo:1: keytime of KeyFramePosition: \"1,5\" is not read in full; it reads as 1",
          "test.xmo:1: position of KeyFramePosition: \"1e 0 0\" is not a number; it reads as 1 0 0",
          "test.xmo:1: timer1 of XFunction: \"\" is not a number; it reads as 0",
          "test.xmo:1: modelids of XFunction: \"1,2\" is not read in full; it reads as 1",
          "test.xmo:1: Model 1: relativemodelid -2147483648 names no model"}},
        // Repeated ids name where the first one is and which one is used.
        {"<Movie>\n<Objects><BrikObject id='1' size='1 1 1' color='1'/>\n<BrikObject id='1' size='2 2 2' color='2'/></Objects>\n"
         "<Models><Model id='4' objectid='1'/>\n<ModelTransform id='4'><Model id='4' objectid='1'/>"
         "</ModelTransform></Models>\n<Sequence duration='1'><Camera/></Sequence></Movie>",
         {"test.xmo:3: BrikObject id 1 is taken by the BrikObject at line 2 already; models use the first object of an id",
          "test.xmo:5: ModelTransform id 4 is taken by the Model at line 4 already; animations use the last model "
          "of an id, this ModelTransform included; commands, joins and contacts the last Model",
          "test.xmo:5: Model id 4 is taken by the ModelTransform at line 5 already; animations, commands, joins and "
          "contacts use the last Model of an id"}},
        {"<Movie><Models><Model id='1'/></Models>\n\n<Movie>" + film(model).substr(7) + "</Movie>",
         {"test.xmo:3: a second Movie element discards everything read before it, from the Movie at line 1 on"}},
        {"<Movie><Objects><BrikObject id='1' size='1 1 1' color='1'/></Objects>\n"
         "<Sequence duration='0'><Camera/></Sequence>\n<Sequence duration='-2.5'><Camera/></Sequence>\n"
         "<Sequence duration='0'><Camera/></Sequence>\n<Sequence><Camera/></Sequence></Movie>",
         {"test.xmo:2: Sequence 1: duration 0 is not positive; it is current at film time 0 only",
          "test.xmo:3: Sequence 2: duration -2.5 is not positive; the film passes over it and starts the sequences "
          "after it 2.5 s earlier",
          "test.xmo:4: Sequence 3: duration 0 is not positive; the film passes over it",
          "test.xmo:5: Sequence 4: duration 0 is not positive; as the last sequence it plays on from local time 0"}},
        {"<Movie><Objects>\n<Object id='2' filename='movie/house.x3d' objectname='House' scale='-2'/></Objects>"
         "<Sequence duration='1'><Camera/></Sequence></Movie>",
         {"test.xmo:2: Object 2: scale -2 is not a positive number; the object keeps the size of its file"}},
        {film(model,
              "<Animation modelid='1' interpolationfunction='bspline'>\n<KeyFramePosition keytime='0'/>"
              "<KeyFramePosition keytime='.5'/><KeyFramePosition keytime='1'/><KeyFrameForce keytime='1'/>"
              "</Animation>\n<Animation modelid='1' interpolationfunction='bspline'><KeyFramePosition/>"
              "<KeyFramePosition/><KeyFramePosition/><KeyFramePosition keytime='1'/></Animation>"
              "<Animation modelid='1'><KeyFrameRotation/></Animation>"),
         {"test.xmo:1: Animation of model 1: \"bspline\" needs 4 or more KeyFramePosition keys; with 3 it never "
          "moves the model",
          "test.xmo:1: Animation of model 1: \"bspline\" uses position keys only; its KeyFrameRotation and "
          "KeyFrameForce keys are never applied"}},
        // Times the sequence never reaches, or reaches only after the film's end.
        {"<Movie><Objects><BrikObject id='1' size='1 1 1' color='1'/></Objects><Models>" + model + "</Models>\n"
         "<Sequence duration='8'><Camera/>\n"
         "<XFunction xfunctiontype='enablemodels' modelids='1' timer1='12'/>\n"
         "<Animation modelid='1'><KeyFramePosition keytime='0'/>\n"
         "<KeyFramePosition keytime='5000'/><KeyFramePosition keytime='9000'/></Animation>\n"
         "<TextChunk starttime='9' endtime='12'/>\n"
         "<Tiles starttime='3' endtime='2'/>\n"
         "<SpecialEffect type='blackfadein' starttime='-1' endtime='0'/>\n"
         "</Sequence><Sequence duration='1'><Camera/></Sequence>\n"
         "<Sounds><Sound starttime='30'/></Sounds></Movie>",
         {"test.xmo:3: XFunction \"enablemodels\": timer1 12 is past the end of its sequence (8 s); the command "
          "never fires",
          "test.xmo:5: KeyFramePosition at 5000 s (and 1 more after it) is past the end of its sequence (8 s) (did "
          "you mean 5 s?); the animation never reaches it",
          "test.xmo:6: TextChunk: starttime 9 is past the end of its sequence (8 s); the caption is never shown",
          "test.xmo:7: Tiles: starttime 3, endtime 2: the window is empty; the tile is never shown",
          "test.xmo:8: SpecialEffect: starttime -1, endtime 0: the window ends before its sequence starts; the fade "
          "is never shown",
          "test.xmo:10: Sound: starttime 30 is at or past the end of the film (9 s); the music starts only after it"}},
        {"<Movie><Sequence duration='24000'><Camera/></Sequence>\n"
         "<Sequence duration='8000'><Camera/><XFunction xfunctiontype='exit' timer1='5000'/></Sequence>\n"
         "<Sequence duration='5'><Camera>\n"
         "<CameraElement duration='3'><Eye><Point position='0 1 10'/></Eye><LookAt><Point position='0 0 0'/></LookAt></CameraElement>\n"
         "<CameraElement duration='3'><Eye><Point position='0 1 10'/></Eye><LookAt><Point position='0 0 0'/></LookAt></CameraElement>\n"
         "</Camera></Sequence></Movie>",
         {"test.xmo:1: Sequence 1: duration 24000 s is over an hour; did you mean 24 s?",
          "test.xmo:2: Sequence 2: duration 8000 s is over an hour; if its times are in milliseconds, divide them "
          "all by 1000",
          "test.xmo:5: CameraElement runs to 6 s, past the end of its sequence (5 s); the rest of the path shows only "
          "after the film's end, when the last sequence plays on"}},
        // Keys out of order.
        {film(model,
              "<Animation modelid='1'><KeyFramePosition keytime='0'/><KeyFramePosition keytime='0.5'/>\n"
              "<KeyFramePosition keytime='0.25'/><KeyFrameRotation keytime='0.5'/>\n"
              "<KeyFrameRotation keytime='0.5'/></Animation>\n"
              "<CameraElement duration='-1'><Eye><Point position='0 1 10'/></Eye><LookAt><Point position='0 0 0'/></LookAt>"
              "</CameraElement>"),
         {"test.xmo:2: KeyFramePosition 3 (at 0.25 s) comes after key 2 (at 0.5 s): the key times go backwards",
          "test.xmo:3: KeyFrameRotation 2 has the time of key 1 (0.5 s): one of the two is never used",
          "test.xmo:4: CameraElement 1: duration -1 is negative; the camera's time goes backwards and the elements "
          "after it start 1 s earlier"}},
        // Particles never seen, and more spawned per frame than expire.
        {film(model,
              "<Particle type='Fade' fadetime='2'/>\n<Particle type='fade'/>\n"
              "<XFunction xfunctiontype='createparticles' modelid='1' timer1='0'/>\n"
              "<XFunction xfunctiontype='createparticles' modelid='1' timer1='0.02'/>"),
         {"test.xmo:1: Particle: type \"Fade\" is never drawn (only \"fade\" particles are); did you mean \"fade\"?",
          "test.xmo:2: Particle: fadetime 0 is not positive; the particle expires at once and is never seen",
          "test.xmo:4: XFunction \"createparticles\": with the createparticles commands before it in its sequence, 2 "
          "particles are spawned per frame at 25 frames a second, and only one expires per frame; the particles grow "
          "without end"}},
        // Captions without a font, or off the screen.
        {film(model,
              "<TextChunk starttime='0' endtime='1'><Text writetext='Hello'/>\n"
              "<Text loadfont='f.txf' position='400 300' writetext='World'/>\n"
              "<Text position='-20 -10' writetext='again'/></TextChunk>"),
         {"test.xmo:1: Text: no font is set by this Text or any before it; \"Hello\" is not drawn",
          "test.xmo:2: Text: position 400 300 is outside the caption screen (-60 to 60 on both axes, 0 0 at its "
          "centre); the text starts off the screen"}},
        // Camera keys where the view has no direction.
        {film(model,
              "<CameraElement duration='1'><Eye><Point position='1 2 3'/></Eye><LookAt><Point position='1 2 3'/>"
              "</LookAt></CameraElement>\n<CameraElement duration='1'><Eye><Point position='5 0 0'/>"
              "<Point position='4 4 0'/><Point position='2 8 0'/><Point position='0 10 0'/></Eye><LookAt>"
              "<Point position='0 0 0'/></LookAt></CameraElement>",
              "duration='2'"),
         {"test.xmo:1: CameraElement: at its start the eye (1 2 3) is on the look-at point; the view cannot be built "
          "there",
          "test.xmo:2: CameraElement: at its end the eye (0 10 0) looks straight along the up axis (to 0 0 0); the "
          "view cannot be built there"}},
        // Names that select nothing, with the names meant.
        {film(model,
              "<XFunction xfunctiontype='Exit' timer1='0'/>\n"
              "<SpecialEffect type='fadeout' starttime='0' endtime='1'/>\n"
              "<Animation modelid='1' interpolationfunction='BSpline'><KeyFramePosition interpolationfunction='hermit'/>"
              "</Animation>\n<CameraElement duration='1' interpolationfunction='Hermite'><Eye><Point position='0 1 10'/>"
              "</Eye><LookAt><Point position='0 0 0'/></LookAt></CameraElement>"),
         {"test.xmo:1: XFunction: unknown xfunctiontype \"Exit\"; the command does nothing; did you mean \"exit\"?",
          "test.xmo:2: SpecialEffect: unknown type \"fadeout\"; nothing is drawn; did you mean \"blackfadeout\" or "
          "\"whitefadeout\"?",
          "test.xmo:3: Animation of model 1: interpolationfunction \"BSpline\" selects key pairs; did you mean "
          "\"bspline\"?",
          "test.xmo:3: KeyFramePosition: interpolationfunction \"hermit\" is read as no easing; did you mean "
          "\"hermite\"?",
          "test.xmo:4: CameraElement: interpolationfunction \"Hermite\" is read as even speed; did you mean "
          "\"hermite\"?"}},
        // A scene without the group named is reported at the film's Object.
        {"<Movie><Objects>\n<Object id='2' filename='movie/house.x3d' objectname='house'/></Objects>"
         "<Sequence duration='1'><Camera/></Sequence></Movie>",
         {"test.xmo:2: Object 2: movie/house.x3d: no group named \"house\"; did you mean \"House\"?"}},
        // A refused film lists the problems around the refusal, which comes last.
        {"<Movie>\n<Camera/>\n<Sequence duration='1'><Camera/><XFunction xfunctiontype='Exit' timer1='0'/></Sequence>"
         "\n<Models><Model id='1' postion='1 0 0'/></Models>\n<Text/></Movie>",
         {"test.xmo:3: XFunction: unknown xfunctiontype \"Exit\"; the command does nothing; did you mean \"exit\"?",
          "test.xmo:4: unknown attribute \"postion\" of Model; did you mean \"position\"?",
          "test.xmo:4: Model 1: objectid 0 names no object",
          "test.xmo:5: Text must be defined in a text chunk",
          "test.xmo:2: Camera must be defined in a sequence"}},
    };
    // As xmotool check lists them: loading goes on after a refusal, the
    // problems are sorted by line, the refusal comes last.
    for (const Case& c : cases) {
        TestLoad t;
        const CheckedMovie checked = loadMovieTextToCheck(c.text, "test.xmo", t.services);
        t.diagnostics.sortByFileAndLine();
        std::vector<std::string> lines = t.messages();
        if (checked.refusal) lines.push_back(formatLoadError(*checked.refusal));
        EXPECT_EQ(lines, c.lines) << c.text;
    }
}

// An imported model's shadow hull, and so the report of its open edges, is
// built only for an object some model of which casts a shadow.
TEST(CheckWarnings, OpenEdgesOfAnImportedModelAreReportedOnlyWhenItCasts) {
    const std::string triangle = testing::TempDir() + "xmo-open-triangle.obj";
    std::ofstream(triangle) << "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n";
    for (const bool casts : {false, true}) {
        SCOPED_TRACE(casts ? "cast" : "not cast");
        const std::string text = "<Movie><Objects><Object id='1' filename='" + triangle +
                                 "'/></Objects><Models><Model id='1' objectid='1'/><Model id='2' objectid='1'" +
                                 (casts ? " castshadow='true'" : "") +
                                 "/></Models><Sequence duration='1'><Camera/></Sequence></Movie>";
        TestLoad t;
        const CheckedMovie checked = loadMovieTextToCheck(text, "test.xmo", t.services);
        EXPECT_FALSE(checked.refusal);
        EXPECT_EQ(t.messages(DiagnosticKind::OpenShadowEdges),
                  casts ? std::vector<std::string>{triangle + ": 3 open edges; its shadow may leak"}
                        : std::vector<std::string>{});
    }
    std::remove(triangle.c_str());
}

// Each element of the schema with the attributes it allows, anywhere in it.
std::map<std::string, std::set<std::string>> schemaNames(const std::string& path) {
    struct Walk {
        std::map<std::string, std::set<std::string>> names;
        std::vector<std::string> open;  // the schema's element names, innermost last
    } walk;
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetUserData(parser, &walk);
    XML_SetElementHandler(
        parser,
        [](void* data, const char* tag, const char** a) {
            auto& w = *static_cast<Walk*>(data);
            std::string name;
            for (; *a; a += 2)
                if (std::string(a[0]) == "name") name = a[1];
            const std::string t = tag;
            if (t == "element") w.names[name];
            if (t == "attribute" && !name.empty()) w.names[w.open.back()].insert(name);
            w.open.push_back(t == "element" ? name : w.open.empty() ? "" : w.open.back());
        },
        [](void* data, const char*) { static_cast<Walk*>(data)->open.pop_back(); });
    const std::string s = text.str();
    EXPECT_EQ(XML_Parse(parser, s.data(), static_cast<int>(s.size()), 1), XML_STATUS_OK) << path;
    XML_ParserFree(parser);
    return walk.names;
}

TEST(CheckWarnings, KnownNamesAreThoseOfTheStrictSchema) {
    const auto schema = schemaNames(std::string(XMO_TEST_DATA) + "/../../docs/xmo.rng");
    std::map<std::string, std::set<std::string>> loader;
    for (const ElementNames& e : movieFormatNames())
        loader[std::string(e.element)] = std::set<std::string>(e.attributes.begin(), e.attributes.end());
    ASSERT_GT(schema.size(), 30u);
    EXPECT_EQ(loader, schema);
}

// Machine readers of check --json find every kind in the format reference.
TEST(CheckWarnings, EveryKindIsListedInTheFormatReference) {
    std::ifstream in(std::string(XMO_TEST_DATA) + "/../../docs/format.md");
    std::stringstream page;
    page << in.rdbuf();
    int kinds = 0;
    for (int k = 0; std::string(diagnosticKindName(static_cast<DiagnosticKind>(k))) != "problem"; ++k, ++kinds)
        EXPECT_NE(page.str().find("`" + std::string(diagnosticKindName(static_cast<DiagnosticKind>(k))) + "`"),
                  std::string::npos)
            << diagnosticKindName(static_cast<DiagnosticKind>(k));
    EXPECT_GT(kinds, 30);
}

}  // namespace
}  // namespace xmo
