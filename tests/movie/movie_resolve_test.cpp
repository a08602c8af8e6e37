#include <gtest/gtest.h>

#include <iterator>

#include "movie/movie_test_support.h"

namespace xmo {
namespace {

using test::movieText;
using test::TestLoad;
using test::treeIndex;

std::vector<int> targetIndexes(const Movie& movie, const XFunction& x) {
    std::vector<int> indexes;
    for (const Model* m : x.targets) indexes.push_back(treeIndex(movie, m));
    return indexes;
}

TEST(MovieResolve, DuplicateIdsTakeTheFirstObjectAndTheLastModel) {
    TestLoad t;
    const auto movie = t.load(
        "<Movie><Objects><BrikObject id='1' color='1'/><BrikObject id='1' color='2'/></Objects>"
        "<Models><Model id='5' objectid='1'/><ModelTransform id='9'><Model id='5' objectid='1'/></ModelTransform>"
        "<Model id='6' objectid='1'/></Models>"
        "<Joins><Join modelid0='5' modelid1='6'/></Joins><Contacts><Contact modelid0='6' modelid1='5'/></Contacts>"
        "<Sequence duration='1'><Camera/><Animation modelid='5'/>"
        "<XFunction modelid='5' xfunctiontype='createparticles'/></Sequence></Movie>");
    const BaseModel* nested = dynamic_cast<ModelTransform&>(*movie->models[1]).children[0].get();
    for (const BaseModel* m : {static_cast<const BaseModel*>(movie->models[0].get()), nested})
        EXPECT_EQ(dynamic_cast<const Model*>(m)->object, movie->objects[0].get());
    EXPECT_EQ(movie->joins[0]->model0, nested);
    EXPECT_EQ(movie->contacts[0]->model1, nested);
    const Sequence& s = *movie->sequences[0];
    EXPECT_EQ(s.animations[0]->model, nested);
    EXPECT_EQ(s.xfunctions[0]->model, nested);
    // Every model of the commanded id records the command.
    EXPECT_EQ(movie->models[0]->function, "createparticles");
    EXPECT_EQ(nested->function, "createparticles");
    EXPECT_EQ(movie->models[2]->function, "");
    EXPECT_EQ(t.messages(), (std::vector<std::string>{
        "test.xmo:1: Model id 5 is taken by the Model at line 1 already; animations, commands, joins and contacts "
        "use the last Model of an id",
        "test.xmo:1: BrikObject id 1 is taken by the BrikObject at line 1 already; models use the first object of an id",
    }));
}

TEST(MovieResolve, OnlyAnimationsMayNameATransformWhichComesBeforeItsChildren) {
    TestLoad t;
    const auto movie = t.load(movieText(
        "<ModelTransform id='7'><Model id='7'/></ModelTransform><Model id='3'/><ModelTransform id='3'/>"
        "<ModelTransform id='4'/>",
        "<Animation modelid='7'/><Animation modelid='3'/><Animation modelid='4'/>"
        "<XFunction modelid='4' xfunctiontype='createparticles'/>"
        "<Joins/><Join modelid0='4'/><Contact modelid0='3' modelid1='4'/>"));
    const Sequence& s = *movie->sequences[0];
    EXPECT_EQ(treeIndex(*movie, s.animations[0]->model), 1);  // the nested model, later in tree order
    EXPECT_EQ(treeIndex(*movie, s.animations[1]->model), 3);  // the transform after the model
    EXPECT_EQ(treeIndex(*movie, s.animations[2]->model), 4);
    EXPECT_EQ(s.xfunctions[0]->model, nullptr);
    EXPECT_EQ(movie->joins[0]->model0, nullptr);
    EXPECT_EQ(treeIndex(*movie, movie->contacts[0]->model0), 2);
    EXPECT_EQ(movie->contacts[0]->model1, nullptr);
    EXPECT_EQ(t.messages(DiagnosticKind::UnresolvedId), (std::vector<std::string>{
                                "test.xmo:1: Join 0: modelid0 4 names only a ModelTransform, which cannot be used here",
                                "test.xmo:1: Contact 0: modelid1 4 names only a ModelTransform, which cannot be used here",
                                "test.xmo:1: XFunction \"createparticles\": modelid 4 names only a ModelTransform, "
                                "which cannot be used here",
                            }));
}

TEST(MovieResolve, TargetsRepeatTheRangeForEveryPass) {
    struct Case {
        const char* name;
        const char* models;
        const char* command;
        std::vector<int> targets;  // tree indexes
    };
    const Case cases[] = {
        {"default range takes id 0 in every pass", "<Model id='0'/><Model id='3'/><Model id='5'/>",
         "modelids='3 5'", {0, 0, 1, 0, 2}},
        {"no model 0, no range", "<Model id='3'/><Model id='5'/>", "modelids='5 3 5'", {1, 0, 1}},
        {"a key inside the range adds nothing", "<Model id='1'/><Model id='2'/><Model id='4'/>",
         "frommodelid='1' tomodelid='2' modelids='2'", {0, 1, 0, 1}},
        {"passes keep tree order", "<Model id='9'/><ModelTransform id='1'><Model id='1'/></ModelTransform>",
         "frommodelid='1' tomodelid='1' modelids='9'", {2, 0, 2}},
        {"duplicate ids are all appended", "<Model id='4'/><Model id='4'/>", "tomodelid='-1' modelids='4'", {0, 1}},
        {"an empty range", "<Model id='0'/>", "frommodelid='5' tomodelid='2'", {}},
    };
    for (const Case& c : cases) {
        TestLoad t;
        const auto movie =
            t.load(movieText(c.models, std::string("<XFunction xfunctiontype='enablemodels' ") + c.command + "/>"));
        EXPECT_EQ(targetIndexes(*movie, *movie->sequences[0]->xfunctions[0]), c.targets) << c.name;
    }
}

TEST(MovieResolve, RefusesCommandsWithMoreTargetsThanMemoryAllows) {
    std::string models;
    std::string ids;
    for (int i = 0; i < 4096; ++i) {
        models += "<Model/>";
        ids += "0 ";
    }
    TestLoad t;
    try {
        t.load(movieText(models, "<XFunction frommodelid='-2147483648' tomodelid='2147483647' modelids='" + ids + "'/>"));
        FAIL() << "loaded";
    } catch (const LoadError& e) {
        EXPECT_STREQ(e.what(), "XFunction \"\" names more than 16777216 targets in all");
    }
}

TEST(MovieResolve, RelativeModelsResolveOnlyAtTopLevel) {
    TestLoad t;
    const auto movie = t.load(movieText(
        "<Model id='1' relativemodelid='3'/><ModelTransform id='2'><Model id='3' relativemodelid='1'/>"
        "</ModelTransform>"));
    const auto& top = dynamic_cast<const Model&>(*movie->models[0]);
    const auto& nested = dynamic_cast<const Model&>(*dynamic_cast<ModelTransform&>(*movie->models[1]).children[0]);
    EXPECT_EQ(top.relativeModel, &nested);
    EXPECT_EQ(nested.relativeModel, nullptr);
}

TEST(MovieResolve, ReportsEveryReferenceThatResolvesToNothing) {
    TestLoad t;
    t.load("<Movie>\n<Objects><BrikObject id='1'/>\n<Object id='2' filename='movie/house.x3d' objectname='Car'/>"
           "</Objects>\n<Model id='1' objectid='1'/>\n<Model id='2' objectid='4' relativemodelid='8'/>\n"
           "<Join id='3' modelid0='1'/>\n<Join id='4' modelid0='9' modelid1='1'/>\n"
           "<Contact id='5' modelid0='1'/>\n"
           "<Sequence duration='1'><Camera/>\n<Animation modelid='6'/>\n"
           "<XFunction xfunctiontype='enablemodels' modelid='7' modelids='1 11' frommodelid='20' tomodelid='30'/>\n"
           "<XFunction xfunctiontype='createparticles' modelid='12'/>\n</Sequence></Movie>",
           "film.xmo");
    // How an object fails is the scene loader's to say; here only that it is said once.
    std::vector<std::string> references;
    int notLoaded = 0;
    for (const Diagnostic& d : t.diagnostics.items()) {
        if (d.kind == DiagnosticKind::ObjectNotLoaded) ++notLoaded;
        else references.push_back(formatDiagnostic(d));
    }
    EXPECT_EQ(notLoaded, 1);
    EXPECT_EQ(references, (std::vector<std::string>{
                                "film.xmo:5: Model 2: objectid 4 names no object",
                                "film.xmo:7: Join 4: modelid0 9 names no model",
                                "film.xmo:5: Model 2: relativemodelid 8 names no model",
                                "film.xmo:10: Animation: modelid 6 names no model",
                                "film.xmo:12: XFunction \"createparticles\": modelid 12 names no model",
                                "film.xmo:11: XFunction \"enablemodels\": no model has an id from 20 to 30",
                                "film.xmo:11: XFunction \"enablemodels\": modelids entry 11 names no model",
                            }));
    for (const Diagnostic& d : t.diagnostics.items())
        if (d.message.find("objectid") != std::string::npos) {
            EXPECT_EQ(d.kind, DiagnosticKind::ModelWithoutObject);
        }
}

// This executable has no GL context and aborts on any OpenGL call, so the
// load itself shows that numbering the lights switches nothing on.
TEST(MovieResolve, EachSceneReadTakesTheNextLightAndOnlyRecordsIt) {
    TestLoad t;
    const auto movie = loadMovie("movie/nine_scenes.xmo", t.services);
    // Per object in file order: the GL_LIGHTi its scene took, -1 for the brick.
    const int expected[] = {0, -1, 1, 2, 3, 4, 5, 6, 7, 7};
    ASSERT_EQ(movie->objects.size(), std::size(expected));
    for (std::size_t i = 0; i < movie->objects.size(); ++i) {
        const auto* object = dynamic_cast<const Object*>(movie->objects[i].get());
        ASSERT_EQ(object != nullptr, expected[i] >= 0) << i;
        if (!object) continue;
        ASSERT_TRUE(object->scene && object->scene->lights && object->scene->lights->light) << i;
        const PointLight& light = *object->scene->lights->light;
        EXPECT_EQ(light.lightId, kGlLight0 + static_cast<unsigned>(expected[i])) << i;
        EXPECT_TRUE(light.dirty) << "its first draw sets its parameters, object " << i;
    }
    EXPECT_FALSE(movie->objects[2]->loaded) << "a scene read without the named group still took its light";
    EXPECT_EQ(t.lights.enableCount, 9);
    std::vector<unsigned> allEight;
    for (unsigned i = 0; i < 8; ++i) allEight.push_back(kGlLight0 + i);
    EXPECT_EQ(t.lights.toEnable, allEight);
}

}  // namespace
}  // namespace xmo
