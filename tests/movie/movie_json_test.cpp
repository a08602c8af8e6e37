#include "movie/movie_json.h"

#include <gtest/gtest.h>

#include <sstream>

#include "movie/movie_test_support.h"

namespace xmo {
namespace {

std::string dumpOf(const std::string& text) {
    test::TestLoad t;
    const auto movie = t.load(text);
    std::ostringstream out;
    writeMovieJson(*movie, out);
    return out.str();
}

// The JSON without its layout, so cases can match pieces on one line.
std::string compact(const std::string& json) {
    std::string out;
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"' && (i == 0 || json[i - 1] != '\\')) inString = !inString;
        if (!inString && (c == '\n' || c == ' ')) continue;
        out += c;
    }
    return out;
}

TEST(MovieJson, WritesRecordsReferencesAndExactFloats) {
    const std::string json = compact(dumpOf(test::movieText(
        "<Model id='4' objectid='9' position='0.1 0 0' rotation='0 0 1 90'/><ModelTransform id='8'>"
        "<Model id='5'/></ModelTransform>",
        "<Animation modelid='8'/><Animation modelid='77'/>"
        "<XFunction xfunctiontype='enablemodels' modelids='5 4'/>"
        "<SpecialEffect type='blackfadein' starttime='1e-7'/><TextChunk><Text writetext='say \"hi\"\n'/></TextChunk>")));
    const char* pieces[] = {
        "{\"type\":\"Movie\",\"fileName\":\"test.xmo\",\"objects\":[],\"models\":[{\"type\":\"Model\",\"id\":4,",
        "\"position\":[0.100000001,0,0],\"rotation\":[0,0,0.707106769,0.707106769]",
        "\"object\":null,",
        "\"type\":\"ModelTransform\",\"id\":8,",
        "\"enabled\":true,\"parent\":null,\"children\":[{\"type\":\"Model\",\"id\":5,",
        "\"modelid\":8,\"model\":{\"id\":8,\"index\":1},",
        "\"modelid\":77,\"model\":null,",
        "\"modelids\":[5,4],\"targets\":[{\"id\":5,\"index\":2},{\"id\":4,\"index\":0}]",
        "\"type\":\"SpecialEffect\",\"sourceLine\":1,\"typeField\":\"blackfadein\",\"starttime\":1.00000001e-07,",
        "\"writetext\":\"say \\\"hi\\\" \"",
        "\"camera\":{\"type\":\"Camera\",\"sourceLine\":1,\"elements\":[]}",
    };
    for (const char* piece : pieces) EXPECT_NE(json.find(piece), std::string::npos) << piece << "\nin " << json;
}

}  // namespace
}  // namespace xmo
