#include "base/xml_front_end.h"

#include <expat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "base/diagnostics.h"

namespace xmo {

namespace {

// Large enough that expat's work per call vanishes, small enough that its
// buffer stays in cache.
constexpr std::size_t kChunkSize = std::size_t{1} << 18;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void replaceAll(char* begin, std::size_t size, char from, char to) {
    for (void* p = std::memchr(begin, from, size); p; p = std::memchr(p, from, size - (static_cast<char*>(p) - begin)))
        *static_cast<char*>(p) = to;
}

int clampLine(std::size_t line) { return line > INT_MAX ? INT_MAX : static_cast<int>(line); }

}  // namespace

std::string XmlSyntaxProblem::message() const { return text + " at line " + std::to_string(line); }

XmlFrontEnd::XmlFrontEnd(const std::string& fileName, XmlElementHandler& handler)
    : fileName_(fileName), handler_(handler), parser_(XML_ParserCreate(nullptr)) {
    if (!parser_) throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, onStart, onEnd);
}

XmlFrontEnd::~XmlFrontEnd() { XML_ParserFree(parser_); }

void XmlFrontEnd::stopWith(std::exception_ptr error) {
    pending_ = std::move(error);
    XML_StopParser(parser_, XML_FALSE);
}

void XmlFrontEnd::onStart(void* self, const char* name, const char** attributes) {
    auto& f = *static_cast<XmlFrontEnd*>(self);
    if (f.pending_) return;
    try {
        f.handler_.startElement(name, attributes);
    } catch (...) {
        f.stopWith(std::current_exception());
    }
}

void XmlFrontEnd::onEnd(void* self, const char* name) {
    auto& f = *static_cast<XmlFrontEnd*>(self);
    if (f.pending_) return;
    try {
        f.handler_.endElement(name);
    } catch (...) {
        f.stopWith(std::current_exception());
    }
}

int XmlFrontEnd::currentLine() {
    const XML_Index index = XML_GetCurrentByteIndex(parser_);
    const std::size_t offset = index < 0 ? parsed_ : static_cast<std::size_t>(index);
    if (lineCursor_ > 0 && lineStarts_[lineCursor_ - 1] > offset)
        lineCursor_ = static_cast<std::size_t>(
            std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset) - lineStarts_.begin());
    while (lineCursor_ < lineStarts_.size() && lineStarts_[lineCursor_] <= offset) ++lineCursor_;
    return clampLine(1 + static_cast<std::size_t>(leadingLines_) + lineCursor_);
}

// Makes a chunk of the file what expat is to see, in place; returns its new
// size. Line starts are noted before the chunk is parsed.
std::size_t XmlFrontEnd::prepareChunk(char* chunk, std::size_t size) {
    if (!started_) {
        std::size_t skipped = 0;
        while (skipped < size && isBlank(chunk[skipped])) {
            if (chunk[skipped] == '\n') ++leadingLines_;
            ++skipped;
        }
        started_ = skipped < size;
        size -= skipped;
        std::memmove(chunk, chunk + skipped, size);
    }
    replaceAll(chunk, size, '\f', ' ');
    replaceAll(chunk, size, '\v', ' ');
    for (const char* p = chunk; (p = static_cast<const char*>(std::memchr(p, '\n', size - (p - chunk))));)
        lineStarts_.push_back(parsed_ + static_cast<std::size_t>(++p - chunk));
    parsed_ += size;
    return size;
}

// read(buffer, capacity) fills the buffer and returns how much it wrote, 0
// at the end.
template <typename Read>
std::optional<XmlSyntaxProblem> XmlFrontEnd::parseChunks(Read&& read) {
    for (;;) {
        char* buffer = static_cast<char*>(XML_GetBuffer(parser_, static_cast<int>(kChunkSize)));
        if (!buffer) throw std::bad_alloc();
        const std::size_t got = read(buffer, kChunkSize);
        const std::size_t size = prepareChunk(buffer, got);
        const XML_Bool last = got == 0 ? XML_TRUE : XML_FALSE;
        const XML_Status status = XML_ParseBuffer(parser_, static_cast<int>(size), last);
        if (pending_) std::rethrow_exception(pending_);
        if (status != XML_STATUS_OK)
            return XmlSyntaxProblem{XML_ErrorString(XML_GetErrorCode(parser_)), currentLine()};
        if (last) return std::nullopt;
    }
}

std::optional<XmlSyntaxProblem> XmlFrontEnd::parseText(std::string_view text) {
    return parseChunks([&text](char* buffer, std::size_t capacity) {
        const std::size_t n = std::min(capacity, text.size());
        std::memcpy(buffer, text.data(), n);
        text.remove_prefix(n);
        return n;
    });
}

std::optional<XmlSyntaxProblem> XmlFrontEnd::parseFile(const char* kind) {
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, Closer> file(std::fopen(fileName_.c_str(), "rb"));
    if (!file) throw LoadError(fileName_, 0, std::string("cannot open the ") + kind + ": " + std::strerror(errno));
    return parseChunks([&](char* buffer, std::size_t capacity) {
        const std::size_t n = std::fread(buffer, 1, capacity, file.get());
        if (n == 0 && std::ferror(file.get()))
            throw LoadError(fileName_, 0, std::string("cannot read the ") + kind + ": " + std::strerror(errno));
        return n;
    });
}

}  // namespace xmo
