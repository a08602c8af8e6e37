#include "base/film_files.h"

#include <algorithm>
#include <filesystem>

namespace xmo {

namespace fs = std::filesystem;

namespace {

// The same name beside the film, or nothing when that is no other place.
std::string besideFilm(const std::string& folder, const std::string& name) {
    if (folder.empty() || name.empty() || fs::path(name).is_absolute()) return {};
    return (fs::path(folder) / name).string();
}

std::string folderOf(const std::string& moviePath) { return fs::path(moviePath).parent_path().string(); }

std::string absolute(const std::string& path) {
    std::error_code error;
    const fs::path full = fs::absolute(path, error);
    return (error ? fs::path(path) : full).lexically_normal().string();
}

}  // namespace

bool isPresent(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::exists(path, error);
}

FilmFiles::FilmFiles(const std::string& moviePath, std::ostream& notes) : folder_(folderOf(moviePath)), notes_(notes) {}

std::string FilmFiles::locate(const std::string& name) {
    if (isPresent(name)) return name;
    const std::string beside = besideFilm(folder_, name);
    if (!isPresent(beside)) return name;
    if (std::find(noted_.begin(), noted_.end(), beside) == noted_.end()) {
        noted_.push_back(beside);
        notes_ << beside << ": found beside the film (run from its folder to silence this)\n" << std::flush;
    }
    return beside;
}

std::string describeFilmFileSearch(const std::string& name, const std::string& moviePath) {
    const std::string beside = besideFilm(folderOf(moviePath), name);
    std::string text = "looked for " + absolute(name);
    if (!beside.empty() && absolute(beside) != absolute(name)) text += " and " + absolute(beside);
    return text;
}

}  // namespace xmo
