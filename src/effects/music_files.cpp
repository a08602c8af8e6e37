#include "effects/music_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "movie/movie.h"

namespace xmo {

namespace {

// The problem with the file as music, or an empty text.
std::string findMusicFileProblem(const std::string& fileName) {
    std::FILE* file = std::fopen(fileName.c_str(), "rb");
    if (!file) return std::string("cannot open the music file: ") + std::strerror(errno);
    const bool empty = std::fgetc(file) == EOF;
    std::fclose(file);
    return empty ? "the music file is empty" : "";
}

}  // namespace

void reportUnusableMusicFiles(const Movie& movie, Diagnostics& diagnostics) {
    for (const auto& sound : movie.sounds) {
        const std::string problem = findMusicFileProblem(sound->filename);
        if (!problem.empty())
            diagnostics.report(DiagnosticKind::MusicProblem, movie.fileName, sound->sourceLine,
                               "Sound: " + sound->filename + ": " + problem);
    }
}

}  // namespace xmo
