// The files a model file names (a glTF file's buffers and pictures, an OBJ
// file's material libraries and pictures), read from the model file's own
// folder only, through readRegularFile and its limits: a FIFO or device is
// refused unread, and none is read beyond kMaxModelFileBytes.
//
// Every path asked for is remembered, read or not, so that --watch also
// watches the companions, and so is the reason each one could not be read.
// Depends on base/.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace xmo {

class CompanionFiles {
public:
    // modelFile's folder is where the names it holds are looked up.
    explicit CompanionFiles(const std::string& modelFile);

    // The model file's folder as given ("" for a bare file name).
    const std::string& folder() const { return folder_; }
    // name (as the model file writes it, relative to its folder) as a path.
    std::string pathOf(const std::string& name) const;
    // Whether path lies in the folder's tree as pathOf writes it.
    bool isInFolder(const std::string& path) const;

    // Reads path whole; false, with problemOf(path) set, when it cannot.
    bool read(const std::string& path, std::vector<std::uint8_t>& bytes);
    // Whether path opens as a regular file; notes the problem otherwise.
    bool exists(const std::string& path);

    // Why path could not be read; empty when it could or was never tried.
    std::string problemOf(const std::string& path) const;
    // The first path that could not be read, or empty.
    std::string firstMissing() const;
    const std::vector<std::string>& named() const { return named_; }

private:
    void note(const std::string& path);

    std::string folder_;
    std::vector<std::string> named_;
    std::map<std::string, std::string> problems_;
};

}  // namespace xmo
