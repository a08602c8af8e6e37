// What xmotool check warns about in films the player still plays: names the
// format does not know, values not read in full, repeated ids, a second
// Movie and durations that are not positive. And the loader's known names
// against the strict schema of docs/xmo.rng, both ways.
#include <expat.h>
#include <gtest/gtest.h>

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
         {"test.xmo:5: ModelTransform id 4 is taken by the Model at line 4 already; animations use the last model "
          "of an id, this ModelTransform included; commands, joins and contacts the last Model",
          "test.xmo:5: Model id 4 is taken by the ModelTransform at line 5 already; animations, commands, joins and "
          "contacts use the last Model of an id",
          "test.xmo:3: BrikObject id 1 is taken by the BrikObject at line 2 already; models use the first object of an id"}},
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
              "<KeyFramePosition keytime='1'/><KeyFramePosition keytime='2'/><KeyFrameForce keytime='1'/>"
              "</Animation>\n<Animation modelid='1' interpolationfunction='bspline'>"
              "<KeyFramePosition/><KeyFramePosition/><KeyFramePosition/><KeyFramePosition/></Animation>"
              "<Animation modelid='1'><KeyFrameRotation/></Animation>"),
         {"test.xmo:1: Animation of model 1: \"bspline\" needs 4 or more KeyFramePosition keys; with 3 it never "
          "moves the model",
          "test.xmo:1: Animation of model 1: \"bspline\" uses position keys only; its KeyFrameRotation and "
          "KeyFrameForce keys are never applied"}},
    };
    for (const Case& c : cases) {
        TestLoad t;
        t.load(c.text);
        EXPECT_EQ(t.messages(), c.lines) << c.text;
    }
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

}  // namespace
}  // namespace xmo
