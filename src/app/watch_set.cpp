#include "app/watch_set.h"

#include <algorithm>
#include <filesystem>

#include "movie/movie.h"

namespace xmo {

namespace {

void addOnce(std::vector<std::string>& files, const std::string& name) {
    if (!name.empty() && std::find(files.begin(), files.end(), name) == files.end()) files.push_back(name);
}

}  // namespace

std::vector<std::string> findFilmFiles(const Movie& movie, const std::string& moviePath) {
    std::vector<std::string> files;
    addOnce(files, moviePath);
    for (const auto& object : movie.objects)
        if (const auto* o = dynamic_cast<const Object*>(object.get())) {
            addOnce(files, o->filename);
            for (const std::string& companion : o->companionFiles) addOnce(files, companion);
        }
    for (const auto& sequence : movie.sequences) {
        for (const auto& chunk : sequence->textChunks)
            for (const auto& text : chunk->texts) addOnce(files, text->loadfont);
        for (const auto& tiles : sequence->tiles) addOnce(files, tiles->loadimage);
    }
    for (const auto& sound : movie.sounds) addOnce(files, sound->filename);
    return files;
}

WatchSet::WatchSet(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        const std::filesystem::path path(file);
        const std::string folder = path.has_parent_path() ? path.parent_path().string() : ".";
        const std::string name = path.filename().string();
        if (name.empty()) continue;  // names a folder, not a file
        const auto at = std::find(folders_.begin(), folders_.end(), folder);
        const std::size_t index = static_cast<std::size_t>(at - folders_.begin());
        if (at == folders_.end()) {
            folders_.push_back(folder);
            names_.emplace_back();
        }
        names_[index].push_back(name);
    }
}

bool WatchSet::isFilmFile(std::size_t folder, const std::string& name) const {
    if (folder >= names_.size()) return false;
    const std::vector<std::string>& names = names_[folder];
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace xmo
