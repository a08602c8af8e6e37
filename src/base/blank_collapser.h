// The text the XML parser sees of a movie or scene file: the file's words,
// each followed by one blank; blanks before the first word are dropped. Every run of blanks and line breaks of the file becomes one blank,
// so attribute values keep their words and lose their layout. The collapser
// remembers where the file's lines begin in that text, so messages can name
// the file's own lines.
#pragma once

#include <cstddef>
#include <vector>

namespace xmo {

class BlankCollapser {
public:
    // Appends the collapsed form of in[0, size) at out and returns the end of
    // what it wrote. Words may span calls. Writes at most size + 1 bytes (the
    // +1 only by finish).
    char* feed(const char* in, std::size_t size, char* out);
    // Ends the text: the blank after a last word that reached the end of file.
    char* finish(char* out);

    // Offsets in the collapsed text at which the file's lines 2, 3, ... begin.
    const std::vector<std::size_t>& lineStarts() const { return lineStarts_; }
    // The file's line (from 1) holding collapsed offset.
    int lineOf(std::size_t offset) const;

private:
    std::size_t written_ = 0;
    bool inWord_ = false;
    std::vector<std::size_t> lineStarts_;
};

}  // namespace xmo
