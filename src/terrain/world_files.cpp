#include "terrain/world_files.h"

#include "image/image_format.h"

namespace xmo {

void reportWorldImageProblems(const std::string& folder, Diagnostics& diagnostics) {
    for (const char* name : {kSkyImageFile, kHeightMapFile, kSurfaceImageFile}) {
        const std::string path = folder.empty() ? name : folder + "/" + name;
        if (const std::optional<std::string> problem = findImageFileProblem(path))
            diagnostics.report(DiagnosticKind::ImageProblem, path, 0, *problem);
    }
}

}  // namespace xmo
