// The world's image files. The player reads them by these fixed names from
// its working directory, or beside the film when they are not there, as it
// reads every file a film names (base/film_files.h).
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "base/diagnostics.h"

namespace xmo {

inline constexpr const char* kSkyImageFile = "test4.jpg";
inline constexpr const char* kHeightMapFile = "heigh.bmp";
inline constexpr const char* kSurfaceImageFile = "moon512.jpg";

// A picture shown as a texture, or the height map the ground is built from.
enum class WorldImage { Texture, HeightMap };

// Why a world image would not give its whole picture: findImageFileProblem's
// reasons (image_format.h), a height map with more than kMaxTerrainSide
// columns or rows (the rest is not used), or a side longer than
// kPortableTextureSide, which some GL may scale down. Nothing when it may
// decode and be used whole.
std::optional<std::string> findWorldImageProblem(const std::string& path, WorldImage image);

// Reports each world image, where the player of the film at moviePath would
// read it, that findWorldImageProblem finds a problem with: one ImageProblem
// per file, named by its path, without a line; one not found says where it
// was looked for. Images found beside the film are noted on notes.
void reportWorldImageProblems(const std::string& moviePath, std::ostream& notes, Diagnostics& diagnostics);

}  // namespace xmo
