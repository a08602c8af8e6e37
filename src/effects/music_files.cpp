#include "effects/music_files.h"

#include <cstdio>
#include <string>

#include "base/film_files.h"
#include "base/regular_file.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// What is wrong with the sound's file as music, as check words it, or an
// empty text.
std::string findMusicFileProblem(const std::string& fileName, const std::string& moviePath) {
    if (fileName.empty()) return "Sound: no \"filename\" given";
    const RegularFile file(fileName);
    if (!file) {
        std::string problem = "Sound: " + fileName + ": cannot open the music file: " + file.problem();
        if (!isPresent(fileName)) problem += " (" + describeFilmFileSearch(fileName, moviePath) + ")";
        return problem;
    }
    return file.size() == 0 ? "Sound: " + fileName + ": the music file is empty" : "";
}

}  // namespace

void reportUnusableMusicFiles(const Movie& movie, Diagnostics& diagnostics) {
    for (const auto& sound : movie.sounds) {
        const std::string problem = findMusicFileProblem(sound->filename, movie.fileName);
        if (!problem.empty())
            diagnostics.report(DiagnosticKind::MusicProblem, movie.fileName, sound->sourceLine,
                               problem);
    }
}

}  // namespace xmo
