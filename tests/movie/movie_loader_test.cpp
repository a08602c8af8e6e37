#include <gtest/gtest.h>

#include "movie/movie_test_support.h"

namespace xmo {
namespace {

using test::movieText;
using test::TestLoad;

const Sequence& firstSequence(const Movie& m) { return *m.sequences.at(0); }

TEST(MovieLoader, ModelsAttachToTheInnermostOpenTransformWhereverTheyStand) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie><Model id='1'/>"
        "<Models><ModelTransform id='2'><ModelTransform id='3'><Model id='4'/></ModelTransform>"
        "<Model id='5'/></ModelTransform><Model id='6'/></Models>"
        "<Sequence duration='1'><Camera/><Model id='7'/></Sequence></Movie>");
    ASSERT_EQ(movie->models.size(), 4u);
    EXPECT_EQ(movie->models[0]->id, 1);
    EXPECT_EQ(movie->models[2]->id, 6);
    EXPECT_EQ(movie->models[3]->id, 7);  // inside a Sequence, still a movie model
    auto& outer = dynamic_cast<ModelTransform&>(*movie->models[1]);
    ASSERT_EQ(outer.children.size(), 2u);
    auto& inner = dynamic_cast<ModelTransform&>(*outer.children[0]);
    EXPECT_EQ(inner.parent, &outer);
    EXPECT_EQ(outer.parent, nullptr);
    ASSERT_EQ(inner.children.size(), 1u);
    EXPECT_EQ(inner.children[0]->id, 4);
    EXPECT_EQ(outer.children[1]->id, 5);
    EXPECT_TRUE(outer.enabled);
    EXPECT_FALSE(movie->models[0]->enabled);
}

TEST(MovieLoader, UnknownElementsAndAttributesAreSkipped) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie colour='red'><Sequences><Chapter><Sequence duration='2' title='x'><Camera/>"
        "<Animations><Animation modelid='3' speed='9'/></Animations></Sequence></Chapter></Sequences>"
        "<Unknown><Model id='8' objectid='1' weird='1'/></Unknown></Movie>");
    ASSERT_EQ(movie->sequences.size(), 1u);
    EXPECT_EQ(firstSequence(*movie).duration, 2.0f);
    EXPECT_EQ(firstSequence(*movie).animations.at(0)->modelid, 3);
    ASSERT_EQ(movie->models.size(), 1u);
    EXPECT_EQ(movie->models[0]->id, 8);
}

TEST(MovieLoader, PointsFollowTheInnermostFlagsWithEyeWinning) {
    TestLoad t;
    const auto movie = t.load(movieText("",
                                        "<CameraElement>"
                                        "<LookAt><Point position='1 0 0'/><Eye><Point position='2 0 0'/></Eye>"
                                        "<Point position='3 0 0'/></LookAt>"
                                        "<Eye><LookAt><Point position='4 0 0'/></LookAt><Point/></Eye>"
                                        "</CameraElement>"));
    const CameraElement& e = *firstSequence(*movie).camera->elements.at(0);
    EXPECT_EQ(e.lookAtPoints, (std::vector<Vec3f>{{1, 0, 0}, {3, 0, 0}}));
    // A Point without position adds nothing.
    EXPECT_EQ(e.eyePoints, (std::vector<Vec3f>{{2, 0, 0}, {4, 0, 0}}));
}

TEST(MovieLoader, CameraStateOutlivesItsEndTags) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie><Sequence duration='1'><Camera><CameraElement duration='1'/></Camera>"
        "<CameraElement duration='2'/><Eye><Point position='5 5 5'/></Eye></Sequence>"
        "<Sequence duration='1'><Camera/><Camera><CameraElement duration='3'/></Camera></Sequence></Movie>");
    const Camera& first = *movie->sequences[0]->camera;
    ASSERT_EQ(first.elements.size(), 2u);
    EXPECT_EQ(first.elements[1]->duration, 2.0f);
    EXPECT_EQ(first.elements[1]->eyePoints.size(), 1u);
    // A second Camera replaces the first one of its sequence.
    const Camera& second = *movie->sequences[1]->camera;
    ASSERT_EQ(second.elements.size(), 1u);
    EXPECT_EQ(second.elements[0]->duration, 3.0f);
}

TEST(MovieLoader, PointsAfterACameraWasReplacedGoToItsDiscardedElement) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie><Sequence duration='1'><Camera><CameraElement duration='1'/></Camera>"
        "<Camera/><Eye><Point position='1 2 3'/></Eye></Sequence></Movie>");
    EXPECT_TRUE(movie->sequences[0]->camera->elements.empty());
}

TEST(MovieLoader, AttributesKeepDefaultsAndReadOddBlanks) {
    TestLoad t;
    const auto movie = t.load(movieText(
        "<Model id='1' position='1  2\n\t 3' relative='4 5 6' loop='true'/><Model id='2' physicalbased='True'"
        " castshadow='1' animatephysics='true' mass='x'/>",
        "<Animations><Animation modelid='1' loop='TRUE'><KeyFrameForce keytime='2'/>"
        "<KeyFrameRotation/></Animation></Animations>"
        "<XFunctions><XFunction modelids='3   5\n8'/></XFunctions>"
        "<TextChunk><Text writetext='hi'/></TextChunk>"));
    const auto& m1 = dynamic_cast<const Model&>(*movie->models[0]);
    const auto& m2 = dynamic_cast<const Model&>(*movie->models[1]);
    EXPECT_EQ(m1.position, (Vec3f{1, 2, 3}));
    EXPECT_EQ(m1.relative, (Vec3f{4, 5, 6}));
    EXPECT_EQ(m2.relative, (Vec3f{-1, -1, -1}));
    EXPECT_EQ(m2.relativemodelid, -1);
    EXPECT_FALSE(m2.physicalbased);
    EXPECT_FALSE(m2.castshadow);
    EXPECT_TRUE(m2.animatephysics);
    EXPECT_EQ(m2.mass, 0.0f);
    const Sequence& s = firstSequence(*movie);
    const Animation& a = *s.animations.at(0);
    EXPECT_FALSE(a.loop);
    const KeyFrameForce& force = *a.forceKeys.at(0);
    EXPECT_EQ(force.keytime, 2.0f);
    EXPECT_EQ(force.linearvelocity, kUnsetVector);
    EXPECT_EQ(force.angularvelocity, kUnsetVector);
    EXPECT_EQ(force.position, kUnsetVector);
    EXPECT_EQ(a.rotationKeys.at(0)->rotation, Quatf());
    EXPECT_EQ(s.xfunctions.at(0)->modelids, (std::vector<int>{3, 5, 8}));
    const Text& text = *s.textChunks.at(0)->texts.at(0);
    EXPECT_EQ(text.position, (Vec2f{-1000, -1000}));
    EXPECT_EQ(text.color, (Vec3f{-1, -1, -1}));
}

TEST(MovieLoader, FontsLoadOnlyWhenNamedAndEveryTileLoadsItsImage) {
    TestLoad t;
    t.load(movieText("",
                     "<TextChunk><Text loadfont='a.txf'/><Text writetext='no font'/></TextChunk>"
                     "<Tiles loadimage='b.png'/><Tiles/>"));
    EXPECT_EQ(t.media.fonts, (std::vector<std::string>{"a.txf"}));
    EXPECT_EQ(t.media.tileImages, (std::vector<std::string>{"b.png", ""}));
}

TEST(MovieLoader, WarnsAboutRotationsWithoutAnAxis) {
    TestLoad t;
    const auto movie = t.load(movieText("<Model id='1' rotation='0 0 0 90'/>\n"
                                        "<ModelTransform id='2' rotation='0 0 0 0'/>",
                                        "\n<Animation><KeyFrameRotation rotation='0 0 0 45'/>\n"
                                        "<KeyFrameForce rotation='0 1 0 45'/></Animation>"));
    EXPECT_EQ(movie->models.at(0)->rotation, Quatf());
    EXPECT_EQ(t.messages(DiagnosticKind::RotationWithoutAxis),
              (std::vector<std::string>{
                  "test.xmo:1: rotation \"0 0 0 90\" turns about an axis of zero length; it is read as no rotation",
                  "test.xmo:3: rotation \"0 0 0 45\" turns about an axis of zero length; it is read as no rotation"}));
}

// Whatever part of loading runs out of memory, the load ends with a message.
TEST(MovieLoader, RunningOutOfMemoryIsALoadError) {
    struct GreedyMedia final : MediaLoader {
        void loadFont(Text&, const char*, Diagnostics&) override {}
        void loadTile(Tiles&, const char*, Diagnostics&) override { throw std::bad_alloc(); }
    } media;
    QuietLoadServices quiet(&media);
    try {
        loadMovieFromText(movieText("", "<Tiles loadimage='huge.png'/>"), "huge.xmo", quiet.services);
        FAIL() << "loaded";
    } catch (const LoadError& e) {
        EXPECT_EQ(formatLoadError(e), "huge.xmo: out of memory while loading");
    }
}

TEST(MovieLoader, RecordsKnowTheirFileLines) {
    TestLoad t;
    const auto movie = t.load("\n\n<Movie>\n  <Objects>\n    <BrikObject id='1'/>\n  </Objects>\n\n\n"
                              "<Model\n id='1'/>\n<Sequence duration='1'>\n<Camera>\n<CameraElement/>"
                              "</Camera></Sequence></Movie>");
    EXPECT_EQ(movie->objects[0]->sourceLine, 5);
    EXPECT_EQ(movie->models[0]->sourceLine, 9);
    EXPECT_EQ(movie->sequences[0]->sourceLine, 11);
    EXPECT_EQ(movie->sequences[0]->camera->sourceLine, 12);
    EXPECT_EQ(movie->sequences[0]->camera->elements[0]->sourceLine, 13);
}

TEST(MovieLoader, RefusesFilesThatBreakTheFormat) {
    struct Case {
        const char* name;
        const char* text;
        int line;
        const char* message;
        bool syntax;
    };
    const Case cases[] = {
        {"mismatched tag", "<Movie>\n<Sequence>\n\n  <Camera>\n</Sequence>", 5, "mismatched tag at line 5", true},
        {"empty file", "", 1, "no element found at line 1", true},
        {"blank file", "\n\n\n", 4, "no element found at line 4", true},
        {"junk after root", "<Movie><Sequence><Camera/></Sequence></Movie>\n\njunk", 3,
         "junk after document element at line 3", true},
        {"unclosed root", "<Movie>\n<Sequence><Camera/></Sequence>\n", 3, "no element found at line 3", true},
        {"camera outside sequence", "<Movie>\n<Camera/></Movie>", 2, "Camera must be defined in a sequence", false},
        {"camera element outside camera", "<Movie><Sequence>\n<CameraElement/>", 2,
         "CameraElement must be defined in a camera", false},
        {"eye outside camera element", "<Movie><Sequence><Camera>\n<Eye/>", 2,
         "Eye must be defined in a camera element", false},
        {"point outside eye and look-at", "<Movie><Sequence><Camera><CameraElement>\n<Point position='1 2 3'/>", 2,
         "Point must be defined in an Eye or a LookAt", false},
        {"point after its eye ended", "<Movie><Sequence><Camera><CameraElement><Eye></Eye>\n<Point/>", 2,
         "Point must be defined in an Eye or a LookAt", false},
        {"key outside animation", "<Movie><Sequence><Camera/><Animation></Animation>\n\n<KeyFramePosition/>", 3,
         "KeyFramePosition must be defined in an animation", false},
        {"text outside text chunk", "<Movie><Sequence><Camera/>\n<Text loadfont='f.txf'/>", 2,
         "Text must be defined in a text chunk", false},
        {"model before movie", "<Film>\n<Model id='1'/>\n<Movie/></Film>", 2, "Model must be defined in a Movie",
         false},
        {"animation outside sequence", "<Movie>\n<Animation/></Movie>", 2, "Animation must be defined in a sequence",
         false},
        {"not a movie", "<Scene><Group/></Scene>", 0, "not a movie file", false},
        {"no sequence", "\n<Movie>\n<Models/>\n</Movie>", 2, "the movie has no Sequence", false},
        {"sequence without camera",
         "<Movie>\n<Sequence><Camera/></Sequence>\n<Sequence duration='1'>\n</Sequence></Movie>", 3,
         "Sequence 2 has no Camera", false},
    };
    for (const Case& c : cases) {
        TestLoad t;
        try {
            t.load(c.text, "bad.xmo");
            ADD_FAILURE() << c.name << ": loaded";
        } catch (const LoadError& e) {
            EXPECT_EQ(e.file(), "bad.xmo") << c.name;
            EXPECT_EQ(e.line(), c.line) << c.name;
            EXPECT_STREQ(e.what(), c.message) << c.name;
            EXPECT_EQ(dynamic_cast<const XmlSyntaxError*>(&e) != nullptr, c.syntax) << c.name;
        }
        // Nothing was handed on to the media loader after the refusal.
        EXPECT_TRUE(t.media.fonts.empty()) << c.name;
    }
}

TEST(MovieLoader, RefusesTransformsNestedTooDeep) {
    std::string deep;
    for (int i = 0; i < 1001; ++i) deep += "<ModelTransform>";
    TestLoad t;
    EXPECT_THROW(t.load("<Movie>" + deep), LoadError);
    std::string fine;
    for (int i = 0; i < 1000; ++i) fine = "<ModelTransform>" + fine + "</ModelTransform>";
    EXPECT_EQ(t.load(movieText(fine + fine))->models.size(), 2u);
}

TEST(MovieLoader, ALaterMovieElementReplacesTheRoot) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie><Model id='1'/><Sequence><Camera/><Movie><Model id='2'/><Sequence duration='3'/></Movie>"
        "<Camera/></Sequence></Movie>");
    ASSERT_EQ(movie->models.size(), 1u);
    EXPECT_EQ(movie->models[0]->id, 2);
    ASSERT_EQ(movie->sequences.size(), 1u);
    EXPECT_EQ(movie->sequences[0]->duration, 3.0f);
}

TEST(MovieLoader, ReportsAFileThatCannotBeOpenedWithTheSystemsReason) {
    TestLoad t;
    try {
        loadMovie("movie/no-such-movie.xmo", t.services);
        FAIL() << "loaded";
    } catch (const LoadError& e) {
        EXPECT_EQ(e.file(), "movie/no-such-movie.xmo");
        EXPECT_STREQ(e.what(), "cannot open the movie file: No such file or directory");
        EXPECT_EQ(describeLoadError(e), "movie/no-such-movie.xmo: cannot open the movie file: No such file or directory");
    }
}

TEST(MovieLoader, DescribesSyntaxErrorsAsExpatsLineAndOthersWithFileAndLine) {
    EXPECT_EQ(describeLoadError(XmlSyntaxError("m.xmo", 4, "mismatched tag at line 4")), "mismatched tag at line 4");
    EXPECT_EQ(describeLoadError(LoadError("m.xmo", 2, "Camera must be defined in a sequence")),
              "m.xmo:2: Camera must be defined in a sequence");
}

TEST(MovieLoader, NamesThatSelectBehaviourAreResolvedBesideTheirText) {
    TestLoad t;
    const auto movie = t.load(movieText(
        "", "<CameraElement interpolationfunction='hermite'/><CameraElement interpolationfunction='Hermite'/>"
            "<Animations><Animation interpolationfunction='bspline'><KeyFramePosition interpolationfunction='hermite'/>"
            "<KeyFrameRotation interpolationfunction='linear'/></Animation><Animation/></Animations>"
            "<XFunctions><XFunction xfunctiontype='exit'/><XFunction xfunctiontype='enable  models'/></XFunctions>"
            "<SpecialEffects><SpecialEffect type='stayblack'/><SpecialEffect type=' stayblack'/></SpecialEffects>"));
    const Sequence& s = firstSequence(*movie);
    const auto& elements = s.camera->elements;
    EXPECT_EQ(elements.at(0)->easing, Easing::Hermite);
    EXPECT_EQ(elements.at(1)->easing, Easing::Linear);
    EXPECT_EQ(elements.at(1)->interpolationfunction, "Hermite");
    const Animation& spline = *s.animations.at(0);
    EXPECT_EQ(spline.mode, AnimationMode::BSpline);
    EXPECT_EQ(spline.positionKeys.at(0)->easing, Easing::Hermite);
    EXPECT_EQ(spline.rotationKeys.at(0)->easing, Easing::Linear);
    EXPECT_EQ(s.animations.at(1)->mode, AnimationMode::KeyPairs);
    EXPECT_EQ(s.xfunctions.at(0)->commandType, CommandType::Exit);
    EXPECT_EQ(s.xfunctions.at(1)->commandType, CommandType::Unknown);
    // The text keeps its words; a run of blanks is one blank.
    EXPECT_EQ(s.xfunctions.at(1)->xfunctiontype, "enable models");
    EXPECT_EQ(s.specialEffects.at(0)->fadeType, FadeType::StayBlack);
    EXPECT_EQ(s.specialEffects.at(1)->fadeType, FadeType::Unknown);
    EXPECT_EQ(s.specialEffects.at(1)->type, " stayblack");
}

TEST(MovieLoader, ReadsTheFileAsItsWordsJoinedByBlanks) {
    TestLoad t;
    const auto movie = t.load(
        "\n \f\n<?xml version='1.0'?>\v<Movie>\n<Sounds><Sound\ffilename='a \t\n  b.mp3'/></Sounds>\n"
        "<Sequence duration=' \v 2\f'><Camera/><TextChunk><Text writetext='\r\nHello\r\n'/></TextChunk>"
        "</Sequence></Movie>\n");
    const Sound& sound = *movie->sounds.at(0);
    EXPECT_EQ(sound.filename, "a b.mp3");
    EXPECT_EQ(sound.sourceLine, 4);
    EXPECT_EQ(firstSequence(*movie).duration, 2.0f);
    EXPECT_EQ(firstSequence(*movie).textChunks.at(0)->texts.at(0)->writetext, " Hello ");
}

TEST(MovieLoader, ReadsWordsOfAnyLength) {
    TestLoad t;
    const std::string longName(5000, 'x');
    const auto movie = t.load(movieText("", "<SpecialEffects><SpecialEffect type='" + longName + "'/></SpecialEffects>"));
    EXPECT_EQ(firstSequence(*movie).specialEffects.at(0)->type, longName);
}

}  // namespace
}  // namespace xmo
