#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/folder_watch.h"

namespace xmo {

FolderWatch::~FolderWatch() {
    if (fd_ >= 0) close(fd_);
}

bool FolderWatch::watch(const std::vector<std::string>& folders, std::string& error) {
    if (fd_ < 0) fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ < 0) {
        error = std::string("cannot watch files: ") + std::strerror(errno);
        return false;
    }
    for (const std::string& folder : folders) {
        // A write is complete at its close; a save by rename arrives as a move.
        const int wd = inotify_add_watch(fd_, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
        if (wd < 0) {
            error = folder + ": cannot watch the folder: " + std::strerror(errno);
            return false;
        }
        descriptors_.push_back(wd);
    }
    return true;
}

void FolderWatch::poll(std::vector<FolderChange>& changes) {
    if (fd_ < 0) return;
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t length = read(fd_, buffer, sizeof buffer);
        if (length <= 0) return;
        for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->len == 0 || offset > length) continue;
            for (std::size_t i = 0; i < descriptors_.size(); ++i)
                if (descriptors_[i] == event->wd) changes.push_back({i, std::string(event->name)});
        }
    }
}

}  // namespace xmo
