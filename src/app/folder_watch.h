// Changes to files in a few folders (Linux inotify): a file written and
// closed, or a file moved or renamed into the folder.
#pragma once

#include <string>
#include <vector>

namespace xmo {

struct FolderChange {
    std::size_t folder;  // index in the list given to watch
    std::string name;    // the entry that changed
};

class FolderWatch {
public:
    FolderWatch() = default;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;
    ~FolderWatch();

    // Starts watching the folders; false with the reason when a folder cannot
    // be watched (the ones before it stay watched).
    bool watch(const std::vector<std::string>& folders, std::string& error);

    // The changes since the last call, without waiting.
    void poll(std::vector<FolderChange>& changes);

private:
    int fd_ = -1;
    std::vector<int> descriptors_;  // per folder
};

}  // namespace xmo
