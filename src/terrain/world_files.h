// The world's image files. The player reads them by these fixed names from
// its working directory, which is the film's folder when a film is played
// the usual way; xmotool check looks for them in the film's folder.
#pragma once

#include <optional>
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

// Reports each world image in `folder` that findWorldImageProblem finds a
// problem with: one ImageProblem per file, named by its path, without a line.
void reportWorldImageProblems(const std::string& folder, Diagnostics& diagnostics);

}  // namespace xmo
