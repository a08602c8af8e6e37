#include "effects/music_files.h"

#include <cstdio>
#include <string>

#include "base/regular_file.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// The problem with the file as music, or an empty text.
std::string findMusicFileProblem(const std::string& fileName) {
    const RegularFile file(fileName);
    if (!file) return "cannot open the music file: " + file.problem();
    return file.size() == 0 ? "the music file is empty" : "";
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
