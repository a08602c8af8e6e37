// What --watch watches: the movie file and every file it names (scene and
// model files with the files a model file names, caption fonts, tile images,
// music), grouped by folder.
//
// Folders rather than files are watched, because many editors save by
// writing a new file and renaming it over the old one: the file watched
// would then be gone, while its folder sees the new one arrive. A change in
// a folder counts only when it names one of the film's files there.
#pragma once

#include <string>
#include <vector>

namespace xmo {

struct Movie;

// The files as the film names them (relative to the working directory, as
// the player opens them), each once, the movie first.
std::vector<std::string> findFilmFiles(const Movie& movie, const std::string& moviePath);

class WatchSet {
public:
    explicit WatchSet(const std::vector<std::string>& files);

    // Each folder once; "." for files named without one.
    const std::vector<std::string>& folders() const { return folders_; }
    // Whether the entry name in folders()[folder] is one of the film's files.
    bool isFilmFile(std::size_t folder, const std::string& name) const;

private:
    std::vector<std::string> folders_;
    std::vector<std::vector<std::string>> names_;  // per folder
};

}  // namespace xmo
