// Starting a program that is installed beside the running one, the way
// xmotool hands a command to xmotool-render.
#pragma once

#include <string>

namespace xmo {

// Replaces this process by PROGRAM from the running executable's folder,
// given argv (argv[0] included, null-terminated). Returns only when that
// fails, with the reason.
std::string execSiblingProgram(const std::string& program, char** argv);

}  // namespace xmo
