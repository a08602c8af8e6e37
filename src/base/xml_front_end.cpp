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
#include "base/regular_file.h"

namespace xmo {

namespace {

// Large enough that expat's work per call vanishes, small enough that its
// buffer stays in cache.
constexpr std::size_t kChunkSize = std::size_t{1} << 18;

// No film or scene comes near this; anything larger is refused unread.
constexpr std::uint64_t kMaxFileBytes = std::uint64_t{1} << 30;

std::string tooLarge(std::uint64_t bytes) { return "too large to be a movie (" + std::to_string(bytes) + " bytes)"; }

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

// The first chunk tells whether the file is UTF-16; if so, its byte-order
// mark is dropped and expat is told to read UTF-8, overriding the declaration.
void XmlFrontEnd::startDecoding(char*& chunk, std::size_t& size) {
    const std::optional<Utf16Start> start = detectUtf16(chunk, size);
    if (!start) return;
    utf16_.emplace(start->order);
    XML_SetEncoding(parser_, "UTF-8");
    chunk += start->markBytes;
    size -= start->markBytes;
}

// Decodes a UTF-16 chunk into a new stretch of expat's buffer; returns it
// and sets size to the bytes it holds.
char* XmlFrontEnd::decodeChunk(char* chunk, std::size_t& size, bool last) {
    undecoded_.assign(chunk, chunk + size);
    char* decoded = static_cast<char*>(XML_GetBuffer(parser_, static_cast<int>(Utf16ToUtf8::maxOutput(size))));
    if (!decoded) throw std::bad_alloc();
    size = utf16_->convert(undecoded_.data(), undecoded_.size(), decoded, last);
    return decoded;
}

// read(buffer, capacity) fills the buffer and returns how much it wrote, 0
// at the end.
template <typename Read>
std::optional<XmlSyntaxProblem> XmlFrontEnd::parseChunks(Read&& read) {
    for (bool first = true;; first = false) {
        char* chunk = static_cast<char*>(XML_GetBuffer(parser_, static_cast<int>(kChunkSize)));
        if (!chunk) throw std::bad_alloc();
        std::size_t size = read(chunk, kChunkSize);
        const bool last = size == 0;
        if (first) startDecoding(chunk, size);
        if (utf16_) chunk = decodeChunk(chunk, size, last);
        size = prepareChunk(chunk, size);
        const XML_Status status =
            XML_ParseBuffer(parser_, static_cast<int>(size), last ? XML_TRUE : XML_FALSE);
        if (pending_) std::rethrow_exception(pending_);
        if (status != XML_STATUS_OK) {
            if (XML_GetErrorCode(parser_) == XML_ERROR_NO_MEMORY) throw std::bad_alloc();
            return XmlSyntaxProblem{XML_ErrorString(XML_GetErrorCode(parser_)), currentLine()};
        }
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
    const RegularFile file(fileName_);
    if (file.isNotRegular()) throw LoadError(fileName_, 0, file.problem());
    if (!file) throw LoadError(fileName_, 0, std::string("cannot open the ") + kind + ": " + file.problem());
    if (file.size() > kMaxFileBytes) throw LoadError(fileName_, 0, tooLarge(file.size()));
    std::uint64_t total = 0;
    return parseChunks([&](char* buffer, std::size_t capacity) {
        const std::size_t n = std::fread(buffer, 1, capacity, file.stream());
        if (n == 0 && std::ferror(file.stream()))
            throw LoadError(fileName_, 0, std::string("cannot read the ") + kind + ": " + std::strerror(errno));
        // A file may grow while it is read.
        total += n;
        if (total > kMaxFileBytes) throw LoadError(fileName_, 0, tooLarge(total));
        return n;
    });
}

}  // namespace xmo
