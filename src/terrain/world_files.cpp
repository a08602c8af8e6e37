#include "terrain/world_files.h"

#include "image/image.h"
#include "image/image_format.h"

namespace xmo {

std::optional<std::string> findWorldImageProblem(const std::string& path) {
    ImageSize size;
    if (std::optional<std::string> problem = findImageFileProblem(path, &size)) return problem;
    if (size.width > kPortableTextureSide || size.height > kPortableTextureSide)
        return std::to_string(size.width) + " x " + std::to_string(size.height) + " pixels: a side longer than " +
               std::to_string(kPortableTextureSide) + " may be scaled down to the GL's largest texture";
    return std::nullopt;
}

void reportWorldImageProblems(const std::string& folder, Diagnostics& diagnostics) {
    for (const char* name : {kSkyImageFile, kHeightMapFile, kSurfaceImageFile}) {
        const std::string path = folder.empty() ? name : folder + "/" + name;
        if (const std::optional<std::string> problem = findWorldImageProblem(path))
            diagnostics.report(DiagnosticKind::ImageProblem, path, 0, *problem);
    }
}

}  // namespace xmo
