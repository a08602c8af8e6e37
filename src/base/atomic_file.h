// Writing a file so that it is either written whole or left as it was: the
// contents go to a temporary file in the target's folder, are flushed to the
// disk, and the temporary file is renamed over the target. Readers never see
// a half-written file, and a failure leaves no temporary file behind.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace xmo {

// Writes the contents into the open file; false when that failed (errno, if
// set, tells why).
using WriteContents = std::function<bool(std::FILE*)>;

// Returns false and sets error to "cannot write PATH: <reason>" when anything
// fails. A new file gets the mode a plainly created file would get.
bool writeFileAtomically(const std::string& path, const WriteContents& write, std::string& error);

}  // namespace xmo
