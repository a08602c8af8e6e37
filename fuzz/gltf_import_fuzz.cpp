// Fuzz target of the glTF reader: any bytes as a .gltf or .glb file (the
// binary container when they start with its magic), then the bounds an
// object load measures. The files it names are looked for in a folder that
// does not exist; pictures in the file have their headers checked as the
// tools check them. The reader must neither crash, read out of bounds nor
// ask for more memory than the file can justify.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "import/model_import.h"
#include "scene/scene_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    xmo::Diagnostics diagnostics;
    xmo::ModelTextures textures;
    const xmo::ImageHeaderCheck headers;
    xmo::ImportServices services{diagnostics, headers, textures};
    for (const char* node : {"", "Cube"}) {
        const xmo::ImportedModel model = xmo::importGltf(bytes, {"fuzz-nowhere/fuzz.gltf", node, 1.0f}, services);
        if (!model.root) continue;
        xmo::Vec3f min, max;
        xmo::computeBounds(*model.root, min, max);
    }
    return 0;
}
