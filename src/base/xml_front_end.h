// The one way both file formats (movie and scene files) reach expat.
//
// A file, or text already in memory, is copied chunk by chunk straight into
// expat's own buffer and parsed as it arrives. Both formats are defined as
// their words joined by single blanks; expat already turns every tab and line
// break inside an attribute value into a blank, so the front end only drops
// the blanks before the first word and turns form feeds and vertical tabs
// into blanks. String values collapse their runs of blanks when they are
// read (readString in movie/values.h); numbers skip blanks anyway.
//
// A file saved as UTF-16 is turned into UTF-8 before all that
// (base/utf16_text.h) and parsed as UTF-8 whatever its declaration says.
// Only a regular file of at most 1 GiB is read (base/regular_file.h), so a
// device, a FIFO or a huge sparse file is refused before a byte is read.
//
// It keeps where the file's lines begin, so every message names the file's
// own line, and it stops exceptions at expat's edge: whatever a handler
// throws stops the parser and is thrown again from parseFile or parseText.
// When expat runs out of memory, std::bad_alloc is thrown.
// Depends on expat and the base/ files it includes only.
#pragma once

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/utf16_text.h"

struct XML_ParserStruct;

namespace xmo {

// What a format's loader does with the elements expat reports.
class XmlElementHandler {
public:
    virtual void startElement(const char* name, const char** attributes) = 0;
    virtual void endElement(const char* name) = 0;

protected:
    ~XmlElementHandler() = default;
};

// Text that expat rejects: its error text and the file's line.
struct XmlSyntaxProblem {
    std::string text;
    int line = 0;

    // "<expat's text> at line <line>", the film's own message.
    std::string message() const;
};

class XmlFrontEnd {
public:
    XmlFrontEnd(const std::string& fileName, XmlElementHandler& handler);
    ~XmlFrontEnd();
    XmlFrontEnd(const XmlFrontEnd&) = delete;
    XmlFrontEnd& operator=(const XmlFrontEnd&) = delete;

    // Parses the file named at construction. A file that cannot be opened or
    // read throws LoadError ("cannot open the <kind>: <reason>"), and so does
    // one that is not a regular file ("not a regular file") or is larger than
    // 1 GiB ("too large to be a movie (N bytes)").
    std::optional<XmlSyntaxProblem> parseFile(const char* kind);
    // The same for the file's contents already in memory.
    std::optional<XmlSyntaxProblem> parseText(std::string_view text);

    // The file's line (from 1) of the element being handled, or of the
    // position where parsing stopped.
    int currentLine();

private:
    static void onStart(void* self, const char* name, const char** attributes);
    static void onEnd(void* self, const char* name);

    template <typename Read>
    std::optional<XmlSyntaxProblem> parseChunks(Read&& read);
    void startDecoding(char*& chunk, std::size_t& size);
    char* decodeChunk(char* chunk, std::size_t& size, bool last);
    std::size_t prepareChunk(char* chunk, std::size_t size);
    void stopWith(std::exception_ptr error);

    const std::string& fileName_;
    XmlElementHandler& handler_;
    XML_ParserStruct* parser_;
    std::exception_ptr pending_;

    // Set for a UTF-16 file: its chunks are read here and decoded into
    // expat's buffer.
    std::optional<Utf16ToUtf8> utf16_;
    std::vector<char> undecoded_;

    // Lines: the offsets in the parsed text at which the file's lines after
    // the first begin, and the lines dropped with the blanks before the first
    // word. Lines are asked for in document order, so a cursor walks the
    // offsets forward.
    std::vector<std::size_t> lineStarts_;
    std::size_t lineCursor_ = 0;
    int leadingLines_ = 0;
    std::size_t parsed_ = 0;  // bytes handed to expat so far
    bool started_ = false;    // the first word has been seen
};

}  // namespace xmo
