#include "app/sibling_program.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace xmo {

std::string execSiblingProgram(const std::string& program, char** argv) {
    // Found through the kernel rather than argv[0] or PATH, so a copy of
    // xmotool from one build never starts the program of another.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "cannot find the running program: " + error.message();
    const std::string path = (self.parent_path() / program).string();
    execv(path.c_str(), argv);
    return "cannot run " + path + ": " + std::strerror(errno);
}

}  // namespace xmo
