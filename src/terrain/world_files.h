// The world's image files. The player reads them by these fixed names from
// its working directory, which is the film's folder when a film is played
// the usual way; xmotool check looks for them in the film's folder.
#pragma once

#include <string>

#include "base/diagnostics.h"

namespace xmo {

inline constexpr const char* kSkyImageFile = "test4.jpg";
inline constexpr const char* kHeightMapFile = "heigh.bmp";
inline constexpr const char* kSurfaceImageFile = "moon512.jpg";

// Reports each world image in `folder` that would not give its picture:
// missing, not one of the three formats, undecodable by its header, or too
// large for some GL to take whole (image_format.h). One ImageProblem per
// file, named by its path, without a line.
void reportWorldImageProblems(const std::string& folder, Diagnostics& diagnostics);

}  // namespace xmo
