// Where the files a film names are read: its scene files, caption fonts, tile
// images and music, and the world's images.
//
// Names are relative to the working directory, as they always were: a film
// plays as written from its own folder. A name that is not there but is
// beside the film (the film was started from another folder) is read beside
// the film instead, and one note on the notes stream says so, once per file.
// A film whose files are all found from the working directory loads exactly
// as before. Depends on nothing.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace xmo {

class FilmFiles {
public:
    FilmFiles(const std::string& moviePath, std::ostream& notes);

    // The path to read `name` at: `name` itself, or the copy beside the film
    // when only that one exists. An empty name stays empty.
    std::string locate(const std::string& name);

private:
    std::string folder_;
    std::ostream& notes_;
    std::vector<std::string> noted_;
};

// Where a name was looked for, for the message of a file found in neither
// place: "looked for /work/house.x3d and /work/films/house.x3d" (one path
// when both are the same place, or the name is absolute).
std::string describeFilmFileSearch(const std::string& name, const std::string& moviePath);

// True when something (a file, a folder...) is at the path.
bool isPresent(const std::string& path);

}  // namespace xmo
