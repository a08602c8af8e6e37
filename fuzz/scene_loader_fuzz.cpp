// Fuzz target of the scene file loader: any bytes as a scene file, read
// both ways an object reads one (the subset reading, then the standard
// reading of the whole scene and of a named node), followed by the steps an
// object load runs on the result (search and bounds). Drawing is not
// reached; the loaders must neither crash, hang nor read out of bounds.
#include <cstddef>
#include <cstdint>
#include <sstream>

#include "image/image_file.h"
#include "scene/mesh_geometry.h"
#include "scene/scene_loader.h"
#include "scene/x3d_standard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    std::ostringstream errors;
    xmo::Diagnostics diagnostics;
    xmo::Vec3f min, max;
    if (std::unique_ptr<xmo::Scene> scene = xmo::loadSceneText(text, size, "fuzz.x3d", errors, diagnostics)) {
        xmo::computeBounds(*scene, min, max);
        if (auto* group = dynamic_cast<xmo::Group*>(xmo::findByName(*scene, "Object")))
            xmo::computeBounds(*group, min, max);
    }
    // Pictures named are looked for beside the file and only their headers
    // checked, as the tools do.
    const xmo::ImageHeaderCheck headers;
    xmo::ModelTextures textures;
    xmo::ImportServices services{diagnostics, headers, textures};
    for (const char* name : {"", "Object"}) {
        const xmo::ImportedModel reading = xmo::readStandardX3dText(
            std::string_view(text, size), xmo::ImportRequest{"fuzz.x3d", name, 1.0f}, services, errors);
        if (reading.root) xmo::computeBounds(*reading.root, min, max);
    }
    return 0;
}
