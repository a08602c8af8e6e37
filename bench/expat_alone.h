// The baseline of the movie load benchmarks: expat over a whole file without
// any handler, the file read straight into expat's buffer.
#pragma once

#include <expat.h>

#include <cstdio>
#include <filesystem>

namespace xmo::bench {

// True when the file was read and expat accepts it.
inline bool parseWithExpatAlone(const char* path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    std::FILE* file = error ? nullptr : std::fopen(path, "rb");
    if (!file) return false;
    XML_Parser parser = XML_ParserCreate(nullptr);
    void* buffer = XML_GetBuffer(parser, static_cast<int>(size));
    const std::size_t got = buffer ? std::fread(buffer, 1, size, file) : 0;
    std::fclose(file);
    const bool ok = got == size && XML_ParseBuffer(parser, static_cast<int>(got), XML_TRUE) == XML_STATUS_OK;
    XML_ParserFree(parser);
    return ok;
}

}  // namespace xmo::bench
