#include "import/companion_files.h"

#include <algorithm>

#include "base/regular_file.h"
#include "import/model_import.h"

namespace xmo {

CompanionFiles::CompanionFiles(const std::string& modelFile) {
    const std::size_t slash = modelFile.find_last_of('/');
    if (slash != std::string::npos) folder_ = modelFile.substr(0, slash == 0 ? 1 : slash);
}

std::string CompanionFiles::pathOf(const std::string& name) const {
    if (folder_.empty()) return name;
    return folder_.back() == '/' ? folder_ + name : folder_ + "/" + name;
}

bool CompanionFiles::isInFolder(const std::string& path) const {
    if (folder_.empty()) return path.rfind("./", 0) != 0 && path.rfind('/', 0) != 0;
    const std::string prefix = folder_.back() == '/' ? folder_ : folder_ + "/";
    return path.rfind(prefix, 0) == 0;
}

void CompanionFiles::note(const std::string& path) {
    if (std::find(named_.begin(), named_.end(), path) == named_.end()) named_.push_back(path);
}

bool CompanionFiles::read(const std::string& path, std::vector<std::uint8_t>& bytes) {
    note(path);
    std::string reason;
    if (readRegularFile(path, kMaxModelFileBytes, bytes, reason)) return true;
    problems_[path] = reason;
    return false;
}

bool CompanionFiles::exists(const std::string& path) {
    note(path);
    const RegularFile file(path);
    if (file) return true;
    problems_[path] = file.problem();
    return false;
}

std::string CompanionFiles::problemOf(const std::string& path) const {
    const auto it = problems_.find(path);
    return it == problems_.end() ? std::string() : it->second;
}

std::string CompanionFiles::firstMissing() const {
    for (const std::string& path : named_)
        if (problems_.count(path)) return path;
    return {};
}

}  // namespace xmo
