#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/relaunch.h"

namespace xmo {

std::string relaunchPlayer(const std::vector<std::string>& args) {
    // The executable itself, whatever name or folder it was started by.
    static constexpr const char* kSelf = "/proc/self/exe";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("xmoplay"));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(kSelf, argv.data());
    return std::string("cannot start the player again: ") + std::strerror(errno);
}

}  // namespace xmo
