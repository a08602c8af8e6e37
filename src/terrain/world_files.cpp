#include "terrain/world_files.h"

#include "base/film_files.h"
#include "image/image.h"
#include "image/image_format.h"
#include "terrain/terrain_geometry.h"

namespace xmo {

namespace {

std::string sizeText(const ImageSize& size) {
    return std::to_string(size.width) + " x " + std::to_string(size.height) + " pixels";
}

}  // namespace

std::optional<std::string> findWorldImageProblem(const std::string& path, WorldImage image) {
    ImageSize size;
    if (std::optional<std::string> problem = findImageFileProblem(path, &size)) return problem;
    if (image == WorldImage::HeightMap && (size.width > kMaxTerrainSide || size.height > kMaxTerrainSide))
        return sizeText(size) + ": the ground is made of the first " + std::to_string(kMaxTerrainSide) +
               " columns and rows only";
    if (size.width > kPortableTextureSide || size.height > kPortableTextureSide)
        return sizeText(size) + ": a side longer than " + std::to_string(kPortableTextureSide) +
               " may be scaled down to the GL's largest texture";
    return std::nullopt;
}

void reportWorldImageProblems(const std::string& moviePath, std::ostream& notes, Diagnostics& diagnostics) {
    const std::pair<const char*, WorldImage> images[] = {{kSkyImageFile, WorldImage::Texture},
                                                         {kHeightMapFile, WorldImage::HeightMap},
                                                         {kSurfaceImageFile, WorldImage::Texture}};
    FilmFiles files(moviePath, notes);
    for (const auto& [name, image] : images) {
        const std::string path = files.locate(name);
        if (std::optional<std::string> problem = findWorldImageProblem(path, image)) {
            if (!isPresent(path)) *problem += " (" + describeFilmFileSearch(name, moviePath) + ")";
            diagnostics.report(DiagnosticKind::ImageProblem, path, 0, *problem);
        }
    }
}

}  // namespace xmo
