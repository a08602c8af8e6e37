// Fuzz target of the OBJ reader: any bytes as an .obj file, the whole file
// and one group of it, then the bounds an object load measures. Material
// libraries are looked for in a folder that does not exist. The reader
// must neither crash, read out of bounds nor hang on a polygon of many
// corners.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "import/model_import.h"
#include "scene/scene_loader.h"

namespace {

class NoPictures final : public xmo::ImageDecoder {
public:
    std::optional<std::string> decodeImage(const std::uint8_t*, std::size_t, xmo::Image& image) const override {
        image = xmo::Image{};
        return std::nullopt;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    xmo::Diagnostics diagnostics;
    xmo::ModelTextures textures;
    const NoPictures pictures;
    xmo::ImportServices services{diagnostics, pictures, textures};
    for (const char* group : {"", "Roof"}) {
        const xmo::ImportedModel model = xmo::importObj(bytes, {"fuzz-nowhere/fuzz.obj", group, 1.0f}, services);
        if (!model.root) continue;
        xmo::Vec3f min, max;
        xmo::computeBounds(*model.root, min, max);
    }
    return 0;
}
