#include "base/xml_front_end.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

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

TEST(XmlFrontEnd, OnlyARegularFileOfAtMostOneGibibyteIsRead) {
    const std::string dir = ::testing::TempDir() + "xmo-front-end-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    const std::string fifo = dir + "/fifo.xml";
    const std::string sparse = dir + "/sparse.xml";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::ofstream{sparse}.close();
    std::filesystem::resize_file(sparse, (std::uintmax_t{1} << 30) + 1);
    const struct {
        std::string path;
        const char* message;
    } cases[] = {
        {"no-such-file.xml", "cannot open the test file: No such file or directory"},
        {".", "not a regular file"},
        {"/dev/zero", "not a regular file"},
        {fifo, "not a regular file"},  // opened without waiting for a writer
        {sparse, "too large to be a movie (1073741825 bytes)"},
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
    std::filesystem::remove_all(dir);
}

// Each form of a short document whose second line holds a syntax error, and
// whose first element carries a character beyond ASCII and one beyond the
// 16-bit plane.
TEST(XmlFrontEnd, ReadsUtf16AsItsUtf8TextWithTheFilesLines) {
    const std::string utf8 = "<a t='\xC3\xA9\xF0\x9F\x8E\xAC'>\r\n<b></a>";
    const auto utf16 = [&](bool bigEndian, bool mark, const std::string& declaration) {
        std::string out = mark ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
        const std::u16string units = u"" + std::u16string(declaration.begin(), declaration.end()) +
                                     u"<a t='\u00E9\U0001F3AC'>\r\n<b></a>";
        for (const char16_t u : units) {
            const char high = static_cast<char>(u >> 8), low = static_cast<char>(u & 0xFF);
            out += bigEndian ? std::string{high, low} : std::string{low, high};
        }
        return out;
    };
    const struct {
        std::string name, text;
    } forms[] = {
        {"UTF-8", utf8},
        {"little-endian with a mark", utf16(false, true, "")},
        {"big-endian with a mark", utf16(true, true, "")},
        {"little-endian declared", utf16(false, false, "<?xml version='1.0' encoding='UTF-16'?>\n")},
        {"big-endian, declaration without encoding", utf16(true, false, "<?xml version='1.0'?>\n")},
    };
    for (const auto& form : forms) {
        Recorder r;
        const auto problem = r.xml.parseText(form.text);
        ASSERT_TRUE(problem) << form.name;
        const bool declared = form.name.find("declar") != std::string::npos;
        EXPECT_EQ(problem->message(), std::string("mismatched tag at line ") + (declared ? "3" : "2")) << form.name;
        ASSERT_EQ(r.starts.size(), 2u) << form.name;
        EXPECT_EQ(r.starts[0].first, "a t=[\xC3\xA9\xF0\x9F\x8E\xAC]") << form.name;
    }
}

}  // namespace
}  // namespace xmo
