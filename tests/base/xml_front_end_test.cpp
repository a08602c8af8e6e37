#include "base/xml_front_end.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "base/diagnostics.h"

namespace xmo {
namespace {

// Records each start tag with the line the front end gives it; throws at the
// element named stopAt.
class Recorder final : public XmlElementHandler {
public:
    explicit Recorder(const std::string& stopAt = "") : stopAt_(stopAt), xml(file, *this) {}

    void startElement(const char* name, const char** attributes) override {
        if (name == stopAt_) throw std::runtime_error("stop at " + stopAt_);
        std::string text = name;
        for (; *attributes; attributes += 2) text += std::string(" ") + attributes[0] + "=[" + attributes[1] + "]";
        starts.emplace_back(text, xml.currentLine());
    }
    void endElement(const char* name) override { ends.push_back(name); }

    std::string file = "f.xml";
    std::string stopAt_;
    XmlFrontEnd xml;
    std::vector<std::pair<std::string, int>> starts;
    std::vector<std::string> ends;
};

TEST(XmlFrontEnd, ElementsGetTheFilesOwnLinesAndBlanksCountAsOne) {
    Recorder r;
    // Blank lines, a form feed and a vertical tab before the declaration, CR LF
    // line ends, and the last element past the front end's first chunk.
    const std::string text = "\n\f\n \v<?xml version='1.0'?>\r\n<a\vx='1 \t\n 2'>\r\n<b/>\n" +
                             std::string(300000, ' ') + "\n\n<c\fy=''/></a>";
    EXPECT_FALSE(r.xml.parseText(text));
    const std::vector<std::pair<std::string, int>> expected = {
        {"a x=[1    2]", 4}, {"b", 6}, {"c y=[]", 9}};
    EXPECT_EQ(r.starts, expected);
    EXPECT_EQ(r.ends, (std::vector<std::string>{"b", "c", "a"}));
}

TEST(XmlFrontEnd, ReportsExpatsComplaintAtTheFilesLine) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"<a>\n<b>\n\n</a>", "mismatched tag at line 4"},
        {"", "no element found at line 1"},
        {"\n\n\n", "no element found at line 4"},
        {"<a/>\n\njunk", "junk after document element at line 3"},
        {"\n<a>\n<b/>\n", "no element found at line 4"},
    };
    for (const auto& c : cases) {
        Recorder r;
        const auto problem = r.xml.parseText(c.text);
        ASSERT_TRUE(problem) << c.text;
        EXPECT_EQ(problem->message(), c.expected);
    }
}

TEST(XmlFrontEnd, AHandlersExceptionStopsTheParseAndComesOutOfIt) {
    Recorder r("b");
    EXPECT_THROW(r.xml.parseText("<a><b/><c/></a>"), std::runtime_error);
    EXPECT_EQ(r.starts.size(), 1u);
    EXPECT_TRUE(r.ends.empty());
}

TEST(XmlFrontEnd, AFileThatCannotBeReadIsALoadErrorWithTheSystemsReason) {
    const struct {
        const char* path;
        const char* message;
    } cases[] = {
        {"no-such-file.xml", "cannot open the test file: No such file or directory"},
        {".", "cannot read the test file: Is a directory"},
    };
    for (const auto& c : cases) {
        Recorder r;
        r.file = c.path;
        try {
            r.xml.parseFile("test file");
            ADD_FAILURE() << c.path << ": read";
        } catch (const LoadError& e) {
            EXPECT_EQ(e.file(), c.path);
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

}  // namespace
}  // namespace xmo
